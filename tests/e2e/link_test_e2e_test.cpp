// A link test as a user runs it: START in the window, frames with errors, a
// silent gap, frames again, STOP; then the log against what the instrument
// simulator says it sent.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <QAbstractButton>
#include <QMessageBox>
#include <QTest>

#include <chrono>
#include <string>
#include <vector>

#include "app/about_dlg.h"
#include "control/monitor_dlg.h"
#include "control/resource.h"
#include "link/serial_port.h"
#include "modal_answerer.h"
#include "record/row_texts.h"
#include "sim_process.h"
#include "temp_dir.h"
#include "ui/dialog_binding.h"
#include "ui/monitor_window.h"

namespace linkwatch::testing {
namespace {

using namespace std::chrono_literals;

const std::string kHeader = "   Date      Time    No.Pckts     ucERR      cERR  SyncLoss";

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t from = 0;
  for (;;) {
    const auto at = text.find("\r\n", from);
    lines.push_back(text.substr(from, at == std::string::npos ? std::string::npos : at - from));
    if (at == std::string::npos) return lines;
    from = at + 2;
  }
}

// The four number fields of a result line, or nothing for another line.
std::optional<std::vector<std::string>> Numbers(const std::string& line) {
  if (line.size() < 60 || line.find("RS-232") != std::string::npos || line == kHeader) return {};
  return std::vector<std::string>{line.substr(20, 9), line.substr(30, 9), line.substr(40, 9),
                                  line.substr(50, 9)};
}

TEST(LinkTestEndToEnd, LogMatchesWhatTheInstrumentSent) {
  TempDir dir;
  const std::string link = dir.File("rkv");
  const std::string logPath = dir.File("results.txt");
  // Frames from the start, a gap from second 3 to 8, frames again until 11;
  // errors enough to see the header repeated.
  SimProcess sim({"--link", link, "--rate", "20", "--error-share", "0.6", "--gap", "3:5",
                  "--duration", "11", "--seed", "42"});
  const auto device = sim.ReadLine(5s);
  ASSERT_TRUE(device && device->starts_with("device: ")) << device.value_or("(nothing)");
  ::setenv("LINKWATCH_COM1", link.c_str(), 1);

  CSerialPort serial;
  MonitorWindow window;
  window.SetAboutBox(ShowAboutBox);
  CMonitorDlg dlg(window, serial);
  const DialogBinding binding(window, dlg);
  ModalAnswerer answerer;
  dlg.OnInitDialog();
  dlg.SetLogPath(logPath);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

  auto* start = qobject_cast<QAbstractButton*>(window.Control(IDC_START));
  ASSERT_NE(start, nullptr);
  start->click();
  ASSERT_TRUE(dlg.IsRunning());

  // The window ticks on its own timer while the simulator runs its course.
  std::optional<std::string> summaryLine;
  const auto deadline = std::chrono::steady_clock::now() + 30s;
  while (!summaryLine && std::chrono::steady_clock::now() < deadline) {
    QTest::qWait(100);
    // Short enough to keep the window ticking, long enough to read at all.
    if (auto line = sim.ReadLine(20ms); line && line->starts_with("summary:")) summaryLine = line;
  }
  ASSERT_TRUE(summaryLine) << "the simulator did not finish";
  const auto summary = ParseSummary(*summaryLine);
  const Totals sent{double(summary.at("packets")), double(summary.at("ucerr")),
                    double(summary.at("cerr")), double(summary.at("syncloss"))};
  // A last tick takes what is still queued.
  EXPECT_TRUE(QTest::qWaitFor([&] { return dlg.CurrentTotals() == sent; }, 10000))
      << "counted " << dlg.CurrentTotals().packets << " packets of " << sent.packets;

  answerer.Answer(QMessageBox::Yes);
  auto* stop = qobject_cast<QAbstractButton*>(window.Control(IDC_STOP));
  ASSERT_NE(stop, nullptr);
  stop->click();
  ASSERT_FALSE(dlg.IsRunning());
  ASSERT_EQ(answerer.Seen().size(), 1u);
  EXPECT_EQ(answerer.Seen()[0].text.toStdString(), "Stop Test?");

  ASSERT_GT(summary.at("frames"), 100u);
  ASSERT_GT(summary.at("error_frames"), 50u);
  EXPECT_EQ(summary.at("lost_frames"), 0u);

  const std::vector<std::string> lines = SplitLines(ReadFile(logPath));
  ASSERT_GE(lines.size(), 5u);
  EXPECT_EQ(lines.front(), kHeader);
  const std::string zero = NumberText(0);
  EXPECT_EQ(Numbers(lines[1]), (std::vector<std::string>{zero, zero, zero, zero}));
  EXPECT_EQ(
      Numbers(lines.back()),
      (std::vector<std::string>{
          NumberText(double(summary.at("packets"))), NumberText(double(summary.at("ucerr"))),
          NumberText(double(summary.at("cerr"))), NumberText(double(summary.at("syncloss")))}));

  // Between the first and the last row: one error row per error frame, the
  // header again right after every 50th, and one loss and one return of the
  // line, in that order.
  std::size_t errorRows = 0;
  std::vector<std::size_t> headersAfter;
  std::vector<std::string> status;
  for (std::size_t i = 2; i + 1 < lines.size(); ++i) {
    if (lines[i].find("RS-232 Connection") != std::string::npos) {
      status.push_back(lines[i].substr(20));
    } else if (Numbers(lines[i])) {
      ++errorRows;
    } else if (lines[i] == kHeader) {
      headersAfter.push_back(errorRows);
      EXPECT_TRUE(Numbers(lines[i - 1])) << "line " << i << ": the header follows an error row";
    } else {
      ADD_FAILURE() << "line " << i << ": '" << lines[i] << "'";
    }
  }
  EXPECT_EQ(errorRows, summary.at("error_frames"));
  std::vector<std::size_t> every50;
  for (std::size_t n = 50; n <= errorRows; n += 50) every50.push_back(n);
  EXPECT_EQ(headersAfter, every50);
  EXPECT_EQ(status,
            (std::vector<std::string>{"RS-232 Connection Loss ", "RS-232 Connection Restored "}));
  // The table holds the rows of the log: start, errors, two status, final.
  EXPECT_EQ(dlg.Results().Count(), errorRows + 4);
  EXPECT_TRUE(answerer.Idle());
}

}  // namespace
}  // namespace linkwatch::testing
