#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "base/file_system.h"
#include "base/unique_fd.h"
#include "dlg_fixture.h"
#include "record/row_texts.h"

namespace linkwatch::testing {
namespace {

// A log deleted, moved or left without its folder while a test runs.
class LogPlaceTest : public DlgTest {
 protected:
  // One second with one error frame: one row, one line.
  void ErrorTick() {
    serial.Push(EncodeFrame({1, 1, 0, 0}));
    Tick();
  }
  // The log as it would be written had nothing happened to it: the header,
  // then one line per row, oldest first.
  std::string Expected() const {
    std::string text = "   Date      Time    No.Pckts     ucERR      cERR  SyncLoss";
    for (std::size_t i = dlg.Results().Count(); i-- > 0;) {
      const TableRow& row = dlg.Results().At(i);
      text += ResultLogLine(row.Time(), row.GetTotals());
    }
    return text;
  }
  static bool HeldByAnother(const std::string& path) {
    const UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    return fd && ::flock(fd.Get(), LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
  }
};

TEST_F(LogPlaceTest, ADeletedLogIsCreatedAgainWithEverythingAndToldOnce) {
  Start();
  ErrorTick();
  ASSERT_EQ(::unlink(logPath.c_str()), 0);
  ErrorTick();  // noticed at this tick, before its row
  ASSERT_EQ(platform.notices.size(), 1u);
  EXPECT_EQ(platform.notices[0].text, "The log file " + logPath + " was deleted during the test.");
  EXPECT_EQ(Log(), Expected());
  EXPECT_TRUE(HeldByAnother(logPath)) << "the new file is held as the old one was";
  ErrorTick();
  ErrorTick();
  EXPECT_EQ(platform.notices.size(), 1u);

  ASSERT_EQ(::unlink(logPath.c_str()), 0);  // and again: a new event, told again
  ErrorTick();
  EXPECT_EQ(platform.notices.size(), 2u);
  dlg.StopTest();
  EXPECT_EQ(Log(), Expected());
  EXPECT_EQ(dlg.Results().Count(), 7u);
  EXPECT_TRUE(platform.boxes.empty());
}

TEST_F(LogPlaceTest, AMovedLogIsWrittenWhereItIsAndItsNewPathToldOnce) {
  Start();
  ErrorTick();
  const std::string moved = dir.File("kept-elsewhere.txt");
  ASSERT_EQ(::rename(logPath.c_str(), moved.c_str()), 0);
  ErrorTick();
  ASSERT_EQ(platform.notices.size(), 1u);
  EXPECT_EQ(platform.notices[0].text, "The log file was moved to " + moved + ".");
  EXPECT_EQ(dlg.LogPath(), moved);
  ErrorTick();
  dlg.StopTest();
  EXPECT_EQ(platform.notices.size(), 1u);
  EXPECT_FALSE(std::filesystem::exists(logPath)) << "nothing is made at the old path";
  EXPECT_EQ(ReadFile(moved), Expected());
}

TEST_F(LogPlaceTest, AGoneFolderIsToldAtOnceAndTriedAgainEachTick) {
  const std::string folder = dir.File("logs");
  ASSERT_TRUE(std::filesystem::create_directory(folder));
  logPath = folder + "/results.txt";
  Start();
  ErrorTick();
  std::filesystem::remove_all(folder);
  ErrorTick();
  ASSERT_EQ(platform.notices.size(), 1u);
  EXPECT_EQ(platform.notices[0].text,
            "The log file " + logPath +
                " was deleted during the test and cannot be created again: No such file or "
                "directory.");
  for (int i = 0; i < 3; ++i) ErrorTick();
  EXPECT_EQ(platform.notices.size(), 1u);
  EXPECT_TRUE(dlg.IsRunning());

  ASSERT_TRUE(std::filesystem::create_directory(folder));
  ErrorTick();
  ASSERT_EQ(platform.notices.size(), 2u);
  EXPECT_EQ(platform.notices[1].text, "The log file " + logPath + " was deleted during the test.");
  dlg.StopTest();
  EXPECT_EQ(Log(), Expected()) << "the lines of the gone seconds are all there";
}

TEST_F(LogPlaceTest, AFolderStillGoneAtTheStopIsToldAsALoss) {
  const std::string folder = dir.File("logs");
  ASSERT_TRUE(std::filesystem::create_directory(folder));
  logPath = folder + "/results.txt";
  Start();
  std::filesystem::remove_all(folder);
  dlg.StopTest();  // deleted within the last second: the stop still looks
  ASSERT_EQ(platform.boxes.size(), 1u);
  EXPECT_EQ(platform.boxes[0].kind, BoxKind::Ok);
  EXPECT_NE(platform.boxes[0].text.find("cannot be created again"), std::string::npos);
  EXPECT_NE(platform.boxes[0].detail.find("lost"), std::string::npos);
}

// The real file system, but writes fail while `full` is set, as on a full disk.
class FillableFileSystem : public IFileSystem {
 public:
  bool full = false;

  int Open(const std::string& path, int flags, mode_t mode) override {
    return real.Open(path, flags, mode);
  }
  ssize_t Write(int fd, const void* data, size_t size) override {
    if (full) {
      errno = ENOSPC;
      return -1;
    }
    return real.Write(fd, data, size);
  }
  ssize_t PRead(int fd, void* data, size_t size, off_t offset) override {
    return real.PRead(fd, data, size, offset);
  }
  int FDataSync(int fd) override { return real.FDataSync(fd); }
  int FTruncate(int fd, off_t size) override { return real.FTruncate(fd, size); }
  int Flock(int fd, int operation) override { return real.Flock(fd, operation); }
  int FcntlGetFlags(int fd) override { return real.FcntlGetFlags(fd); }
  int FcntlSetFlags(int fd, int flags) override { return real.FcntlSetFlags(fd, flags); }
  int Stat(const std::string& path, struct stat* st) override { return real.Stat(path, st); }
  int FStat(int fd, struct stat* st) override { return real.FStat(fd, st); }
  int Rename(const std::string& from, const std::string& to) override {
    return real.Rename(from, to);
  }
  int Link(const std::string& from, const std::string& to) override { return real.Link(from, to); }
  std::string PathOf(int fd) override { return real.PathOf(fd); }

 private:
  PosixFileSystem& real = PosixFileSystem::Shared();
};

// A copy cut short by a full disk leaves a part at the path; the next check
// must replace it with the whole, not take the part for the log.
TEST(LogFilePlace, ACopyCutShortIsMadeWholeAtTheNextCheck) {
  TempDir dir;
  const std::string path = dir.File("log.txt");
  FillableFileSystem fs;
  LogFile log(fs);
  ASSERT_EQ(log.Open(path), 0);
  ASSERT_EQ(log.Write("first line"), 0);
  ASSERT_EQ(::unlink(path.c_str()), 0);
  fs.full = true;
  EXPECT_EQ(log.CheckPlace().place, LogFile::Place::Orphaned);
  EXPECT_EQ(log.CheckPlace().sysErrno, ENOSPC);
  EXPECT_EQ(ReadFile(path), "") << "created, but nothing could be copied";
  EXPECT_EQ(log.Write(", second"), ENOSPC);  // kept
  fs.full = false;
  EXPECT_EQ(log.CheckPlace().place, LogFile::Place::Recreated);
  EXPECT_EQ(log.CheckPlace().place, LogFile::Place::Same);
  EXPECT_EQ(log.Write(", third"), 0);
  EXPECT_EQ(log.Close(), 0);
  EXPECT_EQ(ReadFile(path), "first line, second, third");
  char buf[64];
  EXPECT_EQ(log.ReadAt(6, buf, sizeof buf), 19) << "still readable after the close";
}

}  // namespace
}  // namespace linkwatch::testing
