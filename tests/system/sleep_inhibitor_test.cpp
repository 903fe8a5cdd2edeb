// The sleep lock taken over D-Bus: against no bus at all, a bus without
// logind, and a stand-in logind that shows whether the lock is still held.
#include "system/sleep_inhibitor.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <chrono>
#include <optional>
#include <string>

#include "control/monitor_dlg.h"
#include "fake_logind.h"
#include "fake_platform.h"
#include "fake_serial.h"
#include "frames.h"
#include "temp_dir.h"

namespace linkwatch::testing {
namespace {

using namespace std::chrono_literals;

constexpr const char* kBusVariable = "DBUS_SYSTEM_BUS_ADDRESS";

// Points the system bus at address for one test, and back afterwards.
class SystemBusAt {
 public:
  explicit SystemBusAt(const std::string& address) {
    if (const char* old = ::getenv(kBusVariable)) m_old = old;
    ::setenv(kBusVariable, address.c_str(), 1);
  }
  ~SystemBusAt() {
    if (m_old) {
      ::setenv(kBusVariable, m_old->c_str(), 1);
    } else {
      ::unsetenv(kBusVariable);
    }
  }

 private:
  std::optional<std::string> m_old;
};

// A start, a few ticks of frames and a stop, as far as the log shows them.
std::string RunShortTest(FakePlatform& platform, FakeSerial& serial, const std::string& log) {
  CMonitorDlg dlg(platform, serial);
  dlg.OnInitDialog();
  dlg.SetLogPath(log);
  platform.now = 1000;
  dlg.OnStart();
  EXPECT_TRUE(dlg.IsRunning());
  serial.Push(EncodeFrame({100, 0, 2, 0}));
  platform.now = 1001;
  dlg.OnTimer(1);
  platform.now = 1002;
  dlg.StopTest();
  EXPECT_FALSE(dlg.IsRunning());
  EXPECT_FALSE(dlg.HoldsSleepLock());
  return ReadFile(log);
}

TEST(SleepInhibitor, WithoutABusFailsSoftlyAndReleaseIsHarmless) {
  TempDir dir;
  SystemBusAt bus("unix:path=" + dir.File("no-such-socket"));
  SleepInhibitor lock;
  EXPECT_FALSE(lock.Acquire());
  EXPECT_FALSE(lock.Held());
  EXPECT_NE(lock.LastError(), "");
  lock.Release();
  lock.Release();
  EXPECT_FALSE(lock.Held());
}

TEST(SleepInhibitor, WithoutABusATestStillRunsAndLogs) {
  TempDir dir;
  SystemBusAt bus("unix:path=" + dir.File("no-such-socket"));
  FakePlatform platform;
  FakeSerial serial;
  const std::string log = RunShortTest(platform, serial, dir.File("log.txt"));
  EXPECT_EQ(log.rfind("   Date", 0), 0u);
  EXPECT_NE(log.find("       100         0         2         0 "), std::string::npos) << log;
  EXPECT_TRUE(platform.boxes.empty()) << "no lock is no reason to bother the user";
}

class WithPrivateBus : public ::testing::Test {
 protected:
  void SetUp() override {
    if (m_bus.Address().empty()) GTEST_SKIP() << "dbus-daemon could not be started";
    m_system.emplace(m_bus.Address());
  }
  TempDir m_dir;
  PrivateBus m_bus{m_dir.Path().string()};
  std::optional<SystemBusAt> m_system;
};

TEST_F(WithPrivateBus, ABusWithoutLogindGivesNoLock) {
  SleepInhibitor lock;
  const auto before = std::chrono::steady_clock::now();
  EXPECT_FALSE(lock.Acquire());
  EXPECT_LT(std::chrono::steady_clock::now() - before, 2500ms) << "never waits long";
  EXPECT_NE(lock.LastError(), "");
  EXPECT_FALSE(lock.Held());
}

TEST_F(WithPrivateBus, HoldsTheLockFromAcquireUntilRelease) {
  FakeLogind logind(m_bus.Address());
  ASSERT_TRUE(logind.Serving());
  {
    SleepInhibitor lock;
    ASSERT_TRUE(lock.Acquire()) << lock.LastError();
    EXPECT_TRUE(lock.Held());
    EXPECT_TRUE(lock.Acquire()) << "held already";
    ASSERT_EQ(logind.Calls().size(), 1u) << "a second Acquire asks for nothing";
    const std::array<std::string, 4> expected{"sleep", "linkwatch", "Link test running", "block"};
    EXPECT_EQ(logind.Calls()[0], expected);
    EXPECT_EQ(logind.HeldLocks(1, 300ms), 1);

    lock.Release();
    EXPECT_FALSE(lock.Held());
    EXPECT_EQ(logind.HeldLocks(0, 2s), 0) << "releasing closes the lock";
    lock.Release();

    ASSERT_TRUE(lock.Acquire());
    EXPECT_EQ(logind.HeldLocks(1, 300ms), 1);
  }
  EXPECT_EQ(logind.HeldLocks(0, 2s), 0) << "the lock goes with its holder";
}

TEST_F(WithPrivateBus, ATestHoldsTheLockWhileItRunsAndOnlyThen) {
  FakeLogind logind(m_bus.Address());
  ASSERT_TRUE(logind.Serving());
  FakePlatform platform;
  FakeSerial serial;
  SleepInhibitor lock;
  CMonitorDlg dlg(platform, serial, lock);
  dlg.OnInitDialog();
  dlg.SetLogPath(m_dir.File("log.txt"));

  serial.failOpen = true;
  dlg.OnStart();
  EXPECT_FALSE(dlg.IsRunning());
  EXPECT_TRUE(logind.Calls().empty()) << "a start that fails takes no lock";

  serial.failOpen = false;
  platform.Answer(BoxAnswer::Yes);  // overwrite the log of the failed start
  dlg.OnStart();
  ASSERT_TRUE(dlg.IsRunning());
  EXPECT_TRUE(dlg.HoldsSleepLock());
  EXPECT_EQ(logind.HeldLocks(1, 300ms), 1);
  dlg.OnTimer(1);
  EXPECT_EQ(logind.HeldLocks(1, 0ms), 1);

  dlg.StopTest();
  EXPECT_FALSE(dlg.HoldsSleepLock());
  EXPECT_EQ(logind.HeldLocks(0, 2s), 0);
  EXPECT_EQ(logind.Calls().size(), 1u);
}

}  // namespace
}  // namespace linkwatch::testing
