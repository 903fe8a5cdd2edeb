// The port's lock file, shared with the serial programs that honour lock
// files rather than flock (minicom, cu): who holds the device, stale locks,
// every name of one device, the device going away, and no lock folder.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "control/port_failure_text.h"
#include "link/serial_port.h"
#include "link/uucp_lock.h"
#include "other_program.h"
#include "pty_pair.h"
#include "temp_dir.h"

namespace linkwatch::testing {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> FilesIn(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(folder)) names.push_back(e.path().filename());
  return names;
}

std::size_t Count(const std::string& text, const std::string& part) {
  std::size_t n = 0;
  for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

// Nobody else holds the tty: a flock of our own on it is granted.
bool TtyFree(const PtyPair& pty) {
  if (::flock(pty.Slave(), LOCK_EX | LOCK_NB) != 0) return false;
  ::flock(pty.Slave(), LOCK_UN);
  return true;
}

// COM1 is the test's pty; lock files go to a folder of the test's own.
class SerialLockTest : public ::testing::Test {
 protected:
  void SetUp() override { ::setenv("LINKWATCH_COM1", pty.Name().c_str(), 1); }
  void TearDown() override {
    ::unsetenv("LINKWATCH_COM1");
    ::unsetenv("LINKWATCH_COM2");
  }

  // /dev/pts/7 -> LCK..pts_7, as every program that shares the folder names it.
  static std::string LockNameOf(const PtyPair& p) { return "LCK..pts_" + p.Name().substr(9); }
  std::string LockOf(const PtyPair& p) const { return locks.File(LockNameOf(p)); }

  TempDir locks;
  TempDir dir;
  PtyPair pty;
  CSerialPort port{locks.Path().string()};
};

TEST_F(SerialLockTest, WhileOpenTheLockHoldsOurIdAndCloseOrDestructionRemovesIt) {
  ASSERT_EQ(pty.Name().rfind("/dev/pts/", 0), 0u);
  ASSERT_TRUE(port.Open(1, 9600));
  EXPECT_EQ(FilesIn(locks.Path()), std::vector<std::string>{LockNameOf(pty)});
  const std::string text = ReadFile(LockOf(pty));
  EXPECT_EQ(text, LockText(::getpid()));
  EXPECT_EQ(text.size(), 11u) << "ten characters and a newline";

  // A second port of this process meets the lock first and names us.
  CSerialPort other(locks.Path().string());
  EXPECT_FALSE(other.Open(1, 9600));
  EXPECT_EQ(other.LastFailure().code, SerialError::Busy);
  EXPECT_EQ(other.LastFailure().facts.holder.pid, ::getpid());
  EXPECT_EQ(other.LastFailure().facts.holder.lockFile, LockOf(pty));
  EXPECT_EQ(ReadFile(LockOf(pty)), LockText(::getpid())) << "a refused opener leaves it alone";

  EXPECT_TRUE(port.Close());
  EXPECT_TRUE(FilesIn(locks.Path()).empty());
  {
    CSerialPort scoped(locks.Path().string());
    ASSERT_TRUE(scoped.Open(1, 9600));
    EXPECT_TRUE(fs::exists(LockOf(pty)));
  }
  EXPECT_TRUE(FilesIn(locks.Path()).empty()) << "destruction removes it";
}

TEST_F(SerialLockTest, ALiveHolderRefusesThePortAndIsNamedUntilItEnds) {
  OtherProgram minicom("minicom");
  WriteFile(LockOf(pty), LockText(minicom.Pid()));

  EXPECT_FALSE(port.Open(1, 9600));
  const SerialFailure f = port.LastFailure();
  EXPECT_EQ(f.code, SerialError::Busy);
  EXPECT_EQ(f.subject, pty.Name());
  EXPECT_EQ(f.facts.holder.pid, minicom.Pid());
  EXPECT_EQ(f.facts.holder.program, "minicom");
  EXPECT_EQ(f.facts.holder.lockFile, LockOf(pty));
  const std::string detail = PortFailureDetail(f, "COM1");
  EXPECT_NE(detail.find("in use by minicom (process " + std::to_string(minicom.Pid()) + ")"),
            std::string::npos)
      << detail;
  EXPECT_EQ(ReadFile(LockOf(pty)), LockText(minicom.Pid()));
  EXPECT_TRUE(TtyFree(pty)) << "refused before the tty was opened";
  EXPECT_EQ(port.BytesWaiting(), 0);

  // Once it has ended its lock is stale: removed, and ours takes its place.
  minicom.End();
  ASSERT_TRUE(port.Open(1, 9600));
  EXPECT_EQ(ReadFile(LockOf(pty)), LockText(::getpid()));
  pty.Send({1, 2});
  EXPECT_EQ(port.BytesWaiting(), 2);
}

struct LockContentCase {
  const char* name;
  const char* content;  // LIVE and DEAD stand for a live and an ended process id
  bool refused;
};

void PrintTo(const LockContentCase& c, std::ostream* os) {
  *os << c.name;
}

class SerialLockContentTest : public SerialLockTest,
                              public ::testing::WithParamInterface<LockContentCase> {};

// Programs differ in how they pad the id; a lock that names no live process
// must not keep the port from a test forever.
TEST_P(SerialLockContentTest, OnlyALiveProcessKeepsThePort) {
  const LockContentCase& c = GetParam();
  OtherProgram live("cu");
  const pid_t dead = EndedPid();
  std::string content = c.content;
  for (const auto& [word, pid] : {std::pair{"LIVE", live.Pid()}, std::pair{"DEAD", dead}}) {
    if (const auto at = content.find(word); at != std::string::npos) {
      content.replace(at, 4, std::to_string(pid));
    }
  }
  WriteFile(LockOf(pty), content);

  EXPECT_EQ(port.Open(1, 9600), !c.refused);
  if (c.refused) {
    EXPECT_EQ(port.LastFailure().facts.holder.pid, live.Pid());
    EXPECT_EQ(port.LastFailure().facts.holder.program, "cu");
    EXPECT_EQ(ReadFile(LockOf(pty)), content);
  } else {
    EXPECT_EQ(ReadFile(LockOf(pty)), LockText(::getpid()));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SerialLockContentTest,
    ::testing::Values(LockContentCase{"LiveTenCharacters", "     LIVE\n", true},
                      LockContentCase{"LiveUnpadded", "LIVE\n", true},
                      LockContentCase{"LiveNoNewline", "LIVE", true},
                      LockContentCase{"DeadTenCharacters", "     DEAD\n", false},
                      LockContentCase{"DeadUnpadded", "DEAD", false},
                      LockContentCase{"Empty", "", false},
                      LockContentCase{"NotANumber", "locked\n", false},
                      LockContentCase{"Zero", "         0\n", false},
                      LockContentCase{"Negative", "        -1\n", false}),
    [](const auto& info) { return std::string(info.param.name); });

// The names minicom 2.8 gave its lock files for these paths.
TEST(UucpLockName, IsThePathBelowDevOrTheLastPartOfAnother) {
  const std::pair<const char*, const char*> cases[] = {
      {"/dev/ttyUSB0", "LCK..ttyUSB0"},
      {"/dev/pts/3", "LCK..pts_3"},
      {"/dev/serial/by-id/usb-FTDI_RKV-if00-port0", "LCK..serial_by-id_usb-FTDI_RKV-if00-port0"},
      {"/tmp/rkv13", "LCK..rkv13"},
      {"/tmp/by-id/usb-X", "LCK..usb-X"},
  };
  for (const auto& [path, name] : cases) EXPECT_EQ(UucpLockName(path), name) << path;
}

TEST_F(SerialLockTest, ALinkToTheDeviceAndTheDeviceMeetTheSameLock) {
  const std::string link = dir.File("usb-FTDI_RKV-if00-port0");
  Relink(link, pty.Name());
  ::setenv("LINKWATCH_COM1", link.c_str(), 1);
  ::setenv("LINKWATCH_COM2", pty.Name().c_str(), 1);

  // Held through the link: the lock bears the device's name. A link outside
  // /dev gets none of its own: other links of that name may be other devices.
  ASSERT_TRUE(port.Open(1, 9600));
  EXPECT_EQ(FilesIn(locks.Path()), std::vector<std::string>{LockNameOf(pty)});
  CSerialPort byDevice(locks.Path().string());
  EXPECT_FALSE(byDevice.Open(2, 9600));
  EXPECT_EQ(byDevice.LastFailure().facts.holder.lockFile, LockOf(pty));
  port.Close();

  // Held by another program under the device's name, or under the link's
  // last part as minicom names a link it is given: the link is refused.
  for (const std::string& held : {LockOf(pty), locks.File("LCK..usb-FTDI_RKV-if00-port0")}) {
    OtherProgram minicom("minicom");
    WriteFile(held, LockText(minicom.Pid()));
    EXPECT_FALSE(port.Open(1, 9600)) << held;
    EXPECT_EQ(port.LastFailure().subject, link);
    EXPECT_EQ(port.LastFailure().facts.holder.program, "minicom");
    EXPECT_EQ(port.LastFailure().facts.holder.lockFile, held);
    EXPECT_EQ(FilesIn(locks.Path()), std::vector<std::string>{fs::path(held).filename()});
    fs::remove(held);
  }
}

// minicom given a link under /dev names the lock after the link. /dev/fd/<n>
// is such a link, to the tty open as n, on every system.
TEST_F(SerialLockTest, ALinkUnderDevIsLockedUnderItsOwnNameToo) {
  const std::string fd = std::to_string(pty.Slave());
  ::setenv("LINKWATCH_COM1", ("/dev/fd/" + fd).c_str(), 1);
  const std::string linkLock = locks.File("LCK..fd_" + fd);

  ASSERT_TRUE(port.Open(1, 9600));
  std::vector<std::string> files = FilesIn(locks.Path());
  std::sort(files.begin(), files.end());
  EXPECT_EQ(files, (std::vector<std::string>{"LCK..fd_" + fd, LockNameOf(pty)}));
  EXPECT_EQ(ReadFile(linkLock), LockText(::getpid()));
  EXPECT_EQ(ReadFile(LockOf(pty)), LockText(::getpid()));
  port.Close();
  EXPECT_TRUE(FilesIn(locks.Path()).empty());

  // Either lock held by another program refuses the port, and a lock taken
  // on the way is given back.
  for (const std::string& held : {LockOf(pty), linkLock}) {
    OtherProgram minicom("minicom");
    WriteFile(held, LockText(minicom.Pid()));
    EXPECT_FALSE(port.Open(1, 9600)) << held;
    EXPECT_EQ(port.LastFailure().facts.holder.program, "minicom");
    EXPECT_EQ(port.LastFailure().facts.holder.lockFile, held);
    EXPECT_EQ(FilesIn(locks.Path()), std::vector<std::string>{fs::path(held).filename()});
    fs::remove(held);
  }
}

TEST_F(SerialLockTest, AGoneDeviceGivesUpItsLockAndTheReopenTakesItAgain) {
  const std::string link = dir.File("ttyRKV");
  Relink(link, pty.Name());
  ::setenv("LINKWATCH_COM1", link.c_str(), 1);
  ASSERT_TRUE(port.Open(1, 9600));
  ASSERT_TRUE(fs::exists(LockOf(pty)));

  pty.CloseMaster();
  EXPECT_EQ(port.BytesWaiting(), 0);
  EXPECT_TRUE(FilesIn(locks.Path()).empty()) << "an unplugged port keeps no lock";

  // Back under another device name, but another program got there first.
  PtyPair second;
  Relink(link, second.Name());
  std::optional<OtherProgram> minicom(std::in_place, "minicom");
  WriteFile(LockOf(second), LockText(minicom->Pid()));
  EXPECT_EQ(port.BytesWaiting(), 0);
  EXPECT_TRUE(TtyFree(second)) << "the reopen honours the other program's lock";
  EXPECT_EQ(ReadFile(LockOf(second)), LockText(minicom->Pid()));

  minicom.reset();
  EXPECT_EQ(port.BytesWaiting(), 0);  // reopened, stale lock replaced
  EXPECT_EQ(ReadFile(LockOf(second)), LockText(::getpid()));
  EXPECT_FALSE(TtyFree(second));
  second.Send({9});
  EXPECT_EQ(port.BytesWaiting(), 1);

  EXPECT_TRUE(port.Close());
  EXPECT_TRUE(FilesIn(locks.Path()).empty());
}

struct FolderCase {
  const char* name;
  int err;  // what making a lock file there fails with
};

void PrintTo(const FolderCase& c, std::ostream* os) {
  *os << c.name;
}

class SerialLockFolderTest : public SerialLockTest,
                             public ::testing::WithParamInterface<FolderCase> {};

// Without a usable lock folder the port still opens, held by flock and the
// tty's exclusive mode, and a refusal says once that lock files were not made.
TEST_P(SerialLockFolderTest, ThePortOpensWithoutAndAFailureSaysSoOnce) {
  const FolderCase& c = GetParam();
  std::string folder = dir.File("lock");
  if (c.err == ENOTDIR) WriteFile(folder, "");
  if (c.err == EACCES) {
    fs::create_directory(folder);
    ::chmod(folder.c_str(), 0555);
    if (::access(folder.c_str(), W_OK) == 0) GTEST_SKIP() << "this user may write anywhere";
  }

  CSerialPort first(folder);
  ASSERT_TRUE(first.Open(1, 9600)) << first.LastFailure().sysErrno;
  EXPECT_FALSE(TtyFree(pty));
  CSerialPort second(folder);
  EXPECT_FALSE(second.Open(1, 9600));
  const SerialFailure f = second.LastFailure();
  EXPECT_EQ(f.code, SerialError::Busy) << "refused by flock";
  EXPECT_EQ(f.facts.holder.pid, 0);
  EXPECT_EQ(f.facts.lockFolder, folder);
  EXPECT_EQ(f.facts.lockFolderErrno, c.err);

  const std::string detail = PortFailureDetail(f, "COM1");
  EXPECT_EQ(Count(detail, folder), 1u) << detail;
  EXPECT_NE(detail.find("Busy"), std::string::npos) << detail;

  // A folder that works names nothing of the kind.
  first.Close();
  CSerialPort good(locks.Path().string());
  ASSERT_TRUE(good.Open(1, 9600));
  CSerialPort refused(locks.Path().string());
  EXPECT_FALSE(refused.Open(1, 9600));
  EXPECT_EQ(refused.LastFailure().facts.lockFolderErrno, 0);
}

INSTANTIATE_TEST_SUITE_P(Cases, SerialLockFolderTest,
                         ::testing::Values(FolderCase{"Missing", ENOENT},
                                           FolderCase{"AFileInItsPlace", ENOTDIR},
                                           FolderCase{"NotWritable", EACCES}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace linkwatch::testing
