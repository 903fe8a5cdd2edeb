// On a terminal a box is a message on standard error, closed as soon as it
// is printed: a log that fails past its keeping bound must say there, at
// the line that crosses the bound, that lines are lost and how many, once
// per crossing, and at the recovery how many in all.
#include <gtest/gtest.h>

#include <optional>

#include <signal.h>
#include <sys/resource.h>
#include "file_size_limit.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "console.h"
#include "control/monitor_dlg.h"
#include "control/resource.h"
#include "fake_serial.h"
#include "fake_sleep_lock.h"
#include "frames.h"
#include "output_sink.h"
#include "temp_dir.h"
#include "terminal_platform.h"

namespace linkwatch::testing {
namespace {

class TerminalLogLoss : public ::testing::Test {
 protected:
  void SetUp() override {
    dlg.OnInitDialog();
    dlg.SetLogPath(logPath);
    dlg.OnStart();
    ASSERT_TRUE(dlg.IsRunning());
  }
  void LimitFileSize(rlim_t bytes) {
    m_limit.reset();
    m_limit.emplace(bytes);
  }
  void Unlimit() { m_limit.reset(); }
  // A tick that brings this many error frames.
  void Flood(int frames) {
    std::vector<std::uint8_t> bytes;
    for (int i = 0; i < frames; ++i) {
      const auto frame = EncodeFrame({1, 0, 1, 0});
      bytes.insert(bytes.end(), frame.begin(), frame.end());
    }
    serial.Push(bytes);
    dlg.OnTimer(ID_TICK_TIMER);
  }
  long Said(const std::string& what) const {
    long n = 0;
    for (auto at = err.text.find(what); at != std::string::npos; at = err.text.find(what, at + 1)) {
      ++n;
    }
    return n;
  }

  TempDir dir;
  std::string logPath = dir.File("results.txt");
  cli::StringSink out, err;
  cli::Console console{out, err, false, false};
  cli::TerminalPlatform platform{console, [](std::string_view) { return true; }};
  FakeSerial serial;
  FakeSleepLock sleepLock;
  CMonitorDlg dlg{platform, serial, sleepLock};
  std::optional<FileSizeLimit> m_limit;
};

TEST_F(TerminalLogLoss, EachCrossingOfTheBoundIsSaidOnceWithTheCount) {
  for (long round = 1; round <= 2; ++round) {
    SCOPED_TRACE(round);
    LimitFileSize(static_cast<rlim_t>(ReadFile(logPath).size()));
    Flood(69000);  // past the 4 MiB kept
    Flood(100);
    EXPECT_EQ(Said("File too large"), 2 * round) << "the failure and its crossing";
    EXPECT_EQ(Said("1 line after them could not be kept and is lost"), round) << err.text;
    EXPECT_EQ(Said("lines after them"), 0) << "said once, at the crossing";
    Unlimit();
    dlg.OnTimer(ID_TICK_TIMER);
    EXPECT_EQ(Said("works again"), round);
    const std::string log = ReadFile(logPath);
    const auto mark = log.rfind(" lines lost - log write failed");
    ASSERT_NE(mark, std::string::npos);
    const auto start = log.rfind(' ', mark - 1) + 1;
    // The line under the last "works again" gives the count the log marks.
    const auto told = err.text.find('\n', err.text.rfind("works again"));
    EXPECT_EQ(err.text.find(log.substr(start, mark - start) + " lines could not be kept", told),
              told + 1)
        << err.text;
  }
  dlg.StopTest();
}

}  // namespace
}  // namespace linkwatch::testing
