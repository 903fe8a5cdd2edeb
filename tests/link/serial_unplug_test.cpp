// The device vanishing under an open port, and coming back behind the same
// name: the port must let the link watch see the loss and the return.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <termios.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "control/monitor_dlg.h"
#include "control/resource.h"
#include "fake_platform.h"
#include "frame_encoder.h"
#include "link/serial_port.h"
#include "pty_pair.h"
#include "temp_dir.h"

namespace linkwatch::testing {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Kind = TableRow::Kind;

Bytes Frame(std::uint32_t cErr, std::uint32_t ucErr, std::uint32_t packets) {
  const sim::FrameBytes f = sim::EncodeFrame({packets, ucErr, cErr, 0});
  return {f.begin(), f.end()};
}

// COM1 is a symlink, as a /dev/serial/by-id/ name would be, pointing at the
// first pty; the test makes it point at a second one later.
class UnplugTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Relink(link, first.Name());
    ::setenv("LINKWATCH_COM1", link.c_str(), 1);
  }
  void TearDown() override { ::unsetenv("LINKWATCH_COM1"); }

  TempDir dir;
  std::string link = dir.File("ttyRKV");
  PtyPair first;
  std::optional<PtyPair> second;
};

TEST_F(UnplugTest, PortGoesQuietWithoutLeakingAndReopensOnceThePathIsBack) {
  CSerialPort port;
  ASSERT_TRUE(port.Open(1, 9600));
  first.Send({1, 2, 3});
  ASSERT_EQ(port.BytesWaiting(), 3);

  // Gone between the count and the read: the read gets nothing and the port
  // gives up its handle on the dead tty.
  const int fdsBefore = OpenFds();
  first.CloseMaster();
  first.CloseSlave();
  std::uint8_t buf[16];
  EXPECT_EQ(port.Read(buf, 3), 0);
  EXPECT_EQ(OpenFds(), fdsBefore - 2 - 1) << "the port still holds the dead tty";

  // One failed reopen per call, and nothing kept from it.
  for (int i = 0; i < 5; ++i) EXPECT_EQ(port.BytesWaiting(), 0);
  EXPECT_EQ(OpenFds(), fdsBefore - 3);

  second.emplace();
  Relink(link, second->Name());
  const int fdsBack = OpenFds();
  EXPECT_EQ(port.BytesWaiting(), 0);  // reopens the new tty behind the same name
  EXPECT_EQ(OpenFds(), fdsBack + 1);
  second->Send({7, 0x11, 0x13, 0x0D});
  EXPECT_EQ(port.BytesWaiting(), 4);
  ASSERT_EQ(port.Read(buf, 16), 4);
  EXPECT_EQ(Bytes(buf, buf + 4), (Bytes{7, 0x11, 0x13, 0x0D}));

  // Reopened with the same settings and the same exclusive use.
  termios t{};
  ASSERT_EQ(::tcgetattr(second->Slave(), &t), 0);
  EXPECT_EQ(::cfgetispeed(&t), B9600);
  EXPECT_EQ(t.c_lflag & ICANON, 0u);
  CSerialPort other;
  EXPECT_FALSE(other.Open(1, 9600));
  EXPECT_EQ(other.LastFailure().code, SerialError::Busy);
  EXPECT_TRUE(port.Close());
  EXPECT_TRUE(other.Open(1, 9600));
}

TEST_F(UnplugTest, AHungUpTtyIsSeenOnTheNextQuietCount) {
  CSerialPort port;
  ASSERT_TRUE(port.Open(1, 9600));
  const int fds = OpenFds();
  first.CloseMaster();
  EXPECT_EQ(port.BytesWaiting(), 0);
  EXPECT_EQ(OpenFds(), fds - 1 - 1);
  EXPECT_TRUE(port.Open(1, 9600)) << "still open for the caller";
  EXPECT_TRUE(port.Close());
}

// The whole chain: a running test, ticked second by second, while the
// instrument's line goes away and comes back under the same name.
TEST_F(UnplugTest, LinkWatchReportsLostOnceAndBackOnceAndDecodesAgain) {
  FakePlatform platform;
  CSerialPort port;
  CMonitorDlg dlg(platform, port);
  platform.now = 1'000'000'000;
  dlg.OnInitDialog();
  dlg.SetLogPath(dir.File("results.txt"));
  dlg.OnStart();
  ASSERT_TRUE(dlg.IsRunning());
  const auto tick = [&] {
    platform.now += 1;
    dlg.OnTimer(ID_TICK_TIMER);
  };

  first.Send(Frame(5, 1, 1000));
  tick();
  EXPECT_EQ(dlg.CurrentTotals(), (Totals{1000, 1, 5, 0}));

  first.CloseMaster();
  first.CloseSlave();
  const int fds = OpenFds();
  for (int i = 0; i < 6; ++i) tick();
  EXPECT_EQ(dlg.MissedTicks(), 3);
  EXPECT_EQ(OpenFds(), fds - 1) << "only the dead tty may be gone, nothing added";

  second.emplace();
  Relink(link, second->Name());
  tick();  // reopened, but nothing has come yet
  second->Send(Frame(2, 0, 500));
  second->Send(Frame(0, 0, 300));
  tick();
  EXPECT_EQ(dlg.MissedTicks(), 0);
  EXPECT_EQ(dlg.CurrentTotals(), (Totals{1800, 1, 7, 0}));

  std::vector<Kind> oldestFirst;
  const ResultsTable& rows = dlg.Results();
  for (std::size_t i = rows.Count(); i-- > 0;) oldestFirst.push_back(rows.At(i).GetKind());
  EXPECT_EQ(oldestFirst,
            (std::vector<Kind>{Kind::Result, Kind::Result, Kind::Lost, Kind::Back, Kind::Result}));
  EXPECT_EQ(CellText(rows.At(2), 2), "RS-232  Lost");
  EXPECT_EQ(CellText(rows.At(1), 2), "RS-232 Back");

  dlg.StopTest();
  CSerialPort other;
  EXPECT_TRUE(other.Open(1, 9600)) << "stopping the test releases the reopened port";
}

}  // namespace
}  // namespace linkwatch::testing
