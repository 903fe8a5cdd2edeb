#include "record/log_file.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "control/resource.h"
#include "data_syncs.h"
#include "dlg_fixture.h"
#include "file_size_limit.h"
#include "recording_observer.h"

namespace linkwatch::testing {
namespace {

const std::string kHeader = "   Date      Time    No.Pckts     ucERR      cERR  SyncLoss";

// The one-hour example: one error frame and one short loss of the line.
TEST_F(DlgTest, LogOfAOneHourTestByteForByte) {
  Start();  // 14:05:09
  serial.Push(EncodeFrame({960, 0, 3, 0}));
  Tick(152);  // 14:07:41
  Tick(80);   // 14:09:01, quiet
  Tick(1);    // 14:09:02, quiet again: lost
  serial.Push(EncodeFrame({2000, 0, 0, 0}));
  Tick(29);  // 14:09:31: back
  serial.Push(EncodeFrame({640, 0, 0, 0}));
  Tick(3338);  // 15:05:09
  platform.Answer(BoxAnswer::Yes);
  dlg.OnStop();

  const std::string expected = kHeader +
                               "\r\n03-07-2003 14:05:09         0         0         0         0 "
                               "\r\n03-07-2003 14:07:41       960         0         3         0 "
                               "\r\n03-07-2003 14:09:02 RS-232 Connection Loss "
                               "\r\n03-07-2003 14:09:31 RS-232 Connection Restored "
                               "\r\n03-07-2003 15:05:09      3600         0         3         0 ";
  EXPECT_EQ(Log(), expected);
  EXPECT_TRUE(platform.notices.empty());
}

// A power cut loses at most the last second: each tick that wrote is on the
// disk before the next, and the last lines before the log is closed.
TEST_F(DlgTest, ATickThatWroteSyncsOnceAQuietTickNeverAndTheStopOnce) {
  dlg.SetCsvEnabled(false);  // the per-second CSV has a line, and a sync, every tick
  Start();
  DataSyncs().clear();
  serial.Push(EncodeFrame({960, 0, 3, 0}));
  Tick();  // an error row
  ASSERT_EQ(DataSyncs().size(), 1u);
  EXPECT_EQ(DataSyncs()[0].size, static_cast<off_t>(Log().size())) << "after the tick's line";
  serial.Push(EncodeFrame({960, 0, 0, 0}));
  Tick();  // frames without errors: no row
  Tick();  // the first quiet tick: no row
  EXPECT_EQ(DataSyncs().size(), 1u);
  Tick();  // the second quiet tick: the loss row
  EXPECT_EQ(DataSyncs().size(), 2u);
  Tick();  // still quiet: nothing new
  EXPECT_EQ(DataSyncs().size(), 2u);
  dlg.StopTest();  // the final row
  ASSERT_EQ(DataSyncs().size(), 3u);
  EXPECT_EQ(DataSyncs()[2].size, static_cast<off_t>(Log().size())) << "after the final row";
}

TEST_F(DlgTest, FailedPortOpenLeavesHeaderAndTerminationLine) {
  Init();
  dlg.SelectComPort(2);
  serial.failOpen = true;
  serial.failure = {SerialError::Permission, EACCES, "/dev/ttyS1"};
  dlg.OnStart();
  EXPECT_FALSE(dlg.IsRunning());
  EXPECT_EQ(Log(), kHeader + "\r\n     Cannot Open COM2 - recording terminated");
  ASSERT_FALSE(platform.boxes.empty());
  EXPECT_EQ(platform.boxes.back().text, "Cannot Open COM2");
  // The detail names the device, the reason and the remedy.
  for (const char* part : {"/dev/ttyS1", "Permission denied", "dialout"}) {
    EXPECT_NE(platform.boxes.back().detail.find(part), std::string::npos) << part;
  }
  EXPECT_FALSE(platform.checked[IDC_START]);
  // The log is closed: another opener can take it at once.
  LogFile other;
  EXPECT_EQ(other.Open(logPath), 0);
}

TEST_F(DlgTest, SecondStartEmptiesTheLog) {
  Start();
  serial.Push(EncodeFrame({1, 1, 0, 0}));
  Tick();
  dlg.StopTest();
  platform.Answer(BoxAnswer::Yes);  // "Overwrite Existing File?"
  dlg.OnStart();
  dlg.StopTest();
  ASSERT_FALSE(platform.boxes.empty());
  EXPECT_EQ(platform.boxes.back().text, "Overwrite Existing File?");
  EXPECT_EQ(Log(), kHeader + "\r\n03-07-2003 14:05:10         0         0         0         0 " +
                       "\r\n03-07-2003 14:05:10         0         0         0         0 ");
}

struct OpenFailure {
  const char* name;
  std::string path;
  std::string detail;  // empty: the system's reason, whatever it is
};

TEST_F(DlgTest, OpenFailuresAreToldAndNothingStarts) {
  const std::string folder = dir.File("folder");
  std::filesystem::create_directory(folder);
  const std::string fifo = dir.File("fifo");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const OpenFailure cases[] = {
      {"missing folder", dir.File("no/such/results.txt"), ""},
      {"empty path", "", ""},
      {"a folder", folder, "It is a directory, not a regular file."},
      {"a FIFO", fifo, "It is a FIFO, not a regular file."},
      {"the full device", "/dev/full", "It is a character device, not a regular file."},
      {"the null device", "/dev/null", "It is a character device, not a regular file."},
  };
  Init();
  for (const OpenFailure& c : cases) {
    platform.boxes.clear();
    dlg.SetLogPath(c.path);
    if (FileExists(c.path)) platform.Answer(BoxAnswer::Yes);
    dlg.OnStart();
    EXPECT_FALSE(dlg.IsRunning()) << c.name;
    ASSERT_FALSE(platform.boxes.empty()) << c.name;
    EXPECT_EQ(platform.boxes.back().text, "Cannot open " + c.path) << c.name;
    EXPECT_FALSE(platform.boxes.back().detail.empty()) << c.name;
    if (!c.detail.empty()) {
      EXPECT_EQ(platform.boxes.back().detail, c.detail) << c.name;
    }
    EXPECT_EQ(serial.opens, 0) << c.name;
  }
}

TEST_F(DlgTest, LogHeldByAnotherOpenerIsRefusedAndLeftIntact) {
  LogFile holder;
  ASSERT_EQ(holder.Open(logPath), 0);
  ASSERT_EQ(holder.Write("held"), 0);
  Init();
  platform.Answer(BoxAnswer::Yes);  // overwrite? yes, but it is held
  dlg.OnStart();
  EXPECT_FALSE(dlg.IsRunning());
  ASSERT_FALSE(platform.boxes.empty());
  EXPECT_EQ(platform.boxes.back().text, "Cannot open " + logPath);
  EXPECT_EQ(Log(), "held");
  EXPECT_EQ(serial.opens, 0);
}

// A file-size limit makes writes fail part-way, as a full disk does.
class LogWriteFailureTest : public DlgTest {
 protected:
  void LimitFileSize(rlim_t bytes) {
    m_limit.reset();
    m_limit.emplace(bytes);
  }
  void Unlimit() { m_limit.reset(); }

  std::optional<FileSizeLimit> m_limit;
};

TEST_F(LogWriteFailureTest, KeptLinesAreWrittenInOrderAfterRecovery) {
  Start();  // header and start row: 121 bytes
  LimitFileSize(150);
  for (int i = 0; i < 5; ++i) {
    serial.Push(EncodeFrame({1, 0, 1, 0}));
    Tick();
  }
  // The first line was cut short at the limit; one box for the whole episode.
  EXPECT_EQ(Log().size(), 150u);
  ASSERT_EQ(platform.notices.size(), 1u);
  EXPECT_NE(platform.notices[0].text.find(logPath), std::string::npos);
  EXPECT_NE(platform.notices[0].text.find("File too large"), std::string::npos);
  EXPECT_TRUE(dlg.IsRunning());
  EXPECT_EQ(dlg.Results().Count(), 6u);  // the rows stay in the table

  Unlimit();
  Tick();  // a quiet tick: the kept lines go out with the tick's sync
  dlg.StopTest();
  std::string expected =
      kHeader + "\r\n03-07-2003 14:05:09         0         0         0         0 ";
  for (int i = 1; i <= 5; ++i) {
    expected += "\r\n03-07-2003 14:05:" + std::to_string(9 + i) + "         " + std::to_string(i) +
                "         0         " + std::to_string(i) + "         0 ";
  }
  expected += "\r\n03-07-2003 14:05:15         5         0         5         0 ";
  EXPECT_EQ(Log(), expected);
  EXPECT_EQ(platform.notices.size(), 1u);
}

TEST_F(LogWriteFailureTest, OneBoxPerEpisodeAndNeverTwoOpen) {
  Start();
  const auto fail = [&] {
    LimitFileSize(Log().size());
    serial.Push(EncodeFrame({0, 1, 0, 0}));
    Tick();
    serial.Push(EncodeFrame({0, 1, 0, 0}));
    Tick();
  };
  const auto recover = [&] {
    Unlimit();
    Tick();  // the kept lines go out: the episode ends
  };
  fail();
  recover();
  EXPECT_EQ(platform.notices.size(), 1u);
  fail();  // a new episode while the first box is still open: no second box
  recover();
  EXPECT_EQ(platform.notices.size(), 1u);
  platform.CloseNotice();  // and it is over by the time the box closes
  EXPECT_EQ(platform.notices.size(), 1u);

  fail();  // a third episode gets its own box
  EXPECT_EQ(platform.notices.size(), 2u);
  recover();
  fail();  // a fourth, still going on when the user dismisses the box
  EXPECT_EQ(platform.notices.size(), 2u);
  platform.CloseNotice();
  EXPECT_EQ(platform.notices.size(), 3u);
  recover();
  dlg.StopTest();
  EXPECT_EQ(dlg.Results().Count(), 10u);
  // Every row reached the file in the end: start row, eight error rows, final row.
  const std::string log = Log();
  EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 10);
}

// Observers hear every failure, with what is kept, and the recovery once.
TEST_F(LogWriteFailureTest, ObserversHearEachFailureAndTheRecovery) {
  RecordingObserver events;
  dlg.AddObserver(&events);
  Start();
  LimitFileSize(Log().size());
  serial.Push(EncodeFrame({0, 1, 0, 0}));
  Tick();
  serial.Push(EncodeFrame({0, 1, 0, 0}));
  Tick();
  ASSERT_GE(events.logFailures.size(), 2u);
  EXPECT_EQ(events.logFailures[0].sysErrno, EFBIG);
  EXPECT_EQ(events.logFailures.back().keptBytes, 2 * 62u);
  EXPECT_EQ(events.logRecoveries, 0);
  Unlimit();
  Tick();
  EXPECT_EQ(events.logRecoveries, 1);
  dlg.StopTest();
  EXPECT_EQ(events.logRecoveries, 1);
  dlg.RemoveObserver(&events);
}

// A failure that begins while a question is open is told once it is
// answered, never in a box over the question.
TEST_F(LogWriteFailureTest, ANoticeWaitsUntilTheOpenQuestionIsAnswered) {
  Start();
  for (const bool exiting : {false, true}) {
    SCOPED_TRACE(exiting ? "exit question" : "stop question");
    const std::size_t before = platform.notices.size();
    std::size_t duringQuestion = 0;
    platform.Answer(BoxAnswer::No, [&] {
      LimitFileSize(Log().size());
      serial.Push(EncodeFrame({0, 1, 0, 0}));
      Tick();
      Tick();
      duringQuestion = platform.notices.size() - before;
    });
    exiting ? dlg.OnCancel() : dlg.OnStop();
    EXPECT_EQ(duringQuestion, 0u);
    ASSERT_EQ(platform.notices.size(), before + 1);
    EXPECT_NE(platform.notices.back().text.find("File too large"), std::string::npos);
    EXPECT_TRUE(dlg.IsRunning());
    Unlimit();
    Tick();  // the episode ends
    platform.CloseNotice();
  }
  dlg.StopTest();
  EXPECT_EQ(platform.notices.size(), 2u);
}

TEST_F(LogWriteFailureTest, LinesLostAtTheStopAreToldEvenWithABoxOpen) {
  Start();
  LimitFileSize(Log().size());
  serial.Push(EncodeFrame({0, 1, 0, 0}));
  Tick();
  ASSERT_EQ(platform.notices.size(), 1u);  // left open: nobody watches
  platform.Answer(BoxAnswer::Ok);
  dlg.StopTest();
  // A box that waits for the user, so an exit right after cannot hide it.
  ASSERT_FALSE(platform.boxes.empty());
  EXPECT_EQ(platform.boxes.back().kind, BoxKind::Ok);
  EXPECT_NE(platform.boxes.back().text.find(logPath), std::string::npos);
  // The error row and the final row: two lines of 62 bytes.
  EXPECT_NE(platform.boxes.back().detail.find("124 bytes could not be written and are lost"),
            std::string::npos)
      << platform.boxes.back().detail;
  EXPECT_GE(dlg.LogFailures(), 2);  // the failed write and the failed close
}

// More failing text than is kept: the user hears when lines start to be
// lost and how many, once per crossing of the bound and not per line, and
// at the recovery how many the log marks as lost.
TEST_F(LogWriteFailureTest, LinesBeyondTheKeepingBoundAreToldAsLostWithTheirCount) {
  RecordingObserver events;
  dlg.AddObserver(&events);
  Start();
  LimitFileSize(Log().size());
  const auto flood = [&](int frames) {
    std::vector<std::uint8_t> bytes;
    for (int i = 0; i < frames; ++i) {
      const auto frame = EncodeFrame({1, 1, 0, 0});
      bytes.insert(bytes.end(), frame.begin(), frame.end());
    }
    serial.Push(bytes);
    Tick();
  };
  // Over 4 MiB of 62-byte rows and their headers, in one tick.
  flood(70000);
  ASSERT_GT(events.logFailures.back().droppedLines, 0u);
  ASSERT_EQ(platform.notices.size(), 1u) << "the crossing waits for the open box";
  EXPECT_NE(platform.notices[0].detail.find("are kept and written"), std::string::npos);

  platform.CloseNotice();
  ASSERT_EQ(platform.notices.size(), 2u);
  const std::uint64_t droppedByNow = events.logFailures.back().droppedLines;
  EXPECT_NE(platform.notices[1].text.find("File too large"), std::string::npos);
  EXPECT_NE(platform.notices[1].detail.find("The first 4 MiB of lines are kept"), std::string::npos)
      << platform.notices[1].detail;
  EXPECT_NE(platform.notices[1].detail.find(std::to_string(droppedByNow) +
                                            " lines after them could not be kept and are lost"),
            std::string::npos)
      << platform.notices[1].detail;

  flood(20);  // still over the bound: no further box
  platform.CloseNotice();
  EXPECT_EQ(platform.notices.size(), 2u);

  Unlimit();
  Tick();  // the kept text goes out, and the loss is marked in the log
  ASSERT_EQ(platform.notices.size(), 3u);
  const std::string log = Log();
  const auto mark = log.find(" lines lost - log write failed");
  ASSERT_NE(mark, std::string::npos);
  const auto start = log.rfind(' ', mark - 1) + 1;
  const std::string lost = log.substr(start, mark - start);
  EXPECT_GT(std::stoull(lost), droppedByNow);
  EXPECT_NE(platform.notices[2].text.find("works again"), std::string::npos);
  EXPECT_EQ(platform.notices[2].detail.rfind(lost + " lines could not be kept", 0), 0u)
      << platform.notices[2].detail << " / the log says " << lost;
  dlg.StopTest();
  EXPECT_EQ(platform.notices.size(), 3u);
  dlg.RemoveObserver(&events);
}

TEST(LogFile, BeyondTheBoundLinesAreCountedAndTheLossIsWritten) {
  TempDir dir;
  const std::string path = dir.File("log.txt");
  LogFile log;
  ASSERT_EQ(log.Open(path), 0);
  ASSERT_EQ(log.Write("head"), 0);
  rlimit saved{};
  ::signal(SIGXFSZ, SIG_IGN);  // as the programs do
  ::getrlimit(RLIMIT_FSIZE, &saved);
  rlimit limit = saved;
  limit.rlim_cur = 4;
  ::setrlimit(RLIMIT_FSIZE, &limit);
  const std::string line(1024, 'x');
  const std::size_t fit = LogFile::kKeepLimit / line.size();
  for (std::size_t i = 0; i < fit + 10; ++i) EXPECT_EQ(log.Write(line), EFBIG);
  EXPECT_EQ(log.KeptBytes(), fit * line.size());
  EXPECT_EQ(log.DroppedLines(), 10u);
  ::setrlimit(RLIMIT_FSIZE, &saved);
  EXPECT_EQ(log.Write("tail"), 0);
  EXPECT_EQ(log.Close(), 0);
  const std::string content = ReadFile(path);
  const std::string lossNote = "\r\n     10 lines lost - log write failed";
  EXPECT_EQ(content.size(), 4 + fit * line.size() + lossNote.size() + 4);
  EXPECT_TRUE(content.ends_with(lossNote + "tail"));
}

TEST(LogFile, AFifoAtThePathIsRefusedWithoutHanging) {
  TempDir dir;
  const std::string path = dir.File("fifo");
  ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
  LogFile log;
  EXPECT_NE(log.Open(path), 0);
  EXPECT_FALSE(log.IsOpen());
}

TEST_F(DlgTest, WriteAfterCloseWritesNothingAndIsTold) {
  Start();
  dlg.StopTest();
  const std::string before = Log();
  dlg.WriteLog("late");
  EXPECT_EQ(Log(), before);
  ASSERT_EQ(platform.notices.size(), 1u);
  EXPECT_NE(platform.notices[0].detail.find("not open"), std::string::npos);
}

TEST(LogFile, EveryTextReachesTheFileAtOnce) {
  TempDir dir;
  const std::string path = dir.File("log.txt");
  LogFile log;
  ASSERT_EQ(log.Open(path), 0);
  EXPECT_EQ(log.Write("abc"), 0);
  EXPECT_EQ(ReadFile(path), "abc");  // no buffering in the program
  EXPECT_EQ(log.Sync(), 0);
  EXPECT_EQ(log.Close(), 0);
  EXPECT_EQ(log.Close(), 0);
  EXPECT_EQ(log.Write("x"), EBADF);
}

}  // namespace
}  // namespace linkwatch::testing
