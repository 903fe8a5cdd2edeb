#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "dlg_fixture.h"
#include "fake_device_list.h"
#include "record/log_line_parse.h"
#include "record/row_texts.h"
#include "recording_observer.h"

namespace linkwatch::testing {
namespace {

std::vector<std::string> Cells(const TableRow& row) {
  std::vector<std::string> cells;
  for (int c = 0; c < kResultColumns; ++c) cells.push_back(CellText(row, c));
  return cells;
}

// A row read back from its log line shows what the row showed.
TEST(LogLineParse, RowsComeBackFromTheirLinesWithTheSameTexts) {
  ::setenv("TZ", "UTC", 1);
  ::tzset();
  const Seconds t = At(2003, 7, 3, 14, 5, 9);
  const TableRow rows[] = {
      TableRow::Result(t, {}),
      TableRow::Result(t + 86399, {960, 0, 3, 0}),
      TableRow::Result(t, {999'999'999, 1'000'000'000, 1'000'000'001, 1'234'567'890}),
      TableRow::Result(t, {4.2e15, 1, 2, 3}),
      TableRow::Status(t, false),
      TableRow::Status(t, true),
  };
  for (const TableRow& row : rows) {
    const std::string line = row.GetKind() == TableRow::Kind::Result
                                 ? ResultLogLine(row.Time(), row.GetTotals())
                                 : StatusLogLine(row.Time(), row.GetKind() == TableRow::Kind::Back);
    const auto back = ParseLogLine(std::string_view(line).substr(2));  // without CR LF
    ASSERT_TRUE(back.has_value()) << line;
    EXPECT_EQ(back->Time(), row.Time());
    EXPECT_EQ(back->GetKind(), row.GetKind());
    EXPECT_EQ(Cells(*back), Cells(row)) << line;
  }
}

TEST(LogLineParse, OtherLinesAreNoRows) {
  const char* lines[] = {
      "   Date      Time    No.Pckts     ucERR      cERR  SyncLoss",
      "     12 lines lost - log write failed",
      "     Cannot Open COM2 - recording terminated",
      "03-07-2003 14:05:09         0         0",                      // torn off
      "03-07-2003 14:05:09         0         0         0         0",  // no last space
      "03-07-2003 14:05:09 RS-232 Connection",
      "",
  };
  for (const char* line : lines) EXPECT_FALSE(ParseLogLine(line).has_value()) << line;
}

// A dialog whose table keeps few rows: every row stays viewable, read back
// from the log, whatever happened to the log meanwhile.
class RowsFromLogTest : public DlgTest {
 protected:
  static constexpr std::size_t kBound = ResultsTable::kChunkRows;

  void SetUp() override {
    DlgTest::SetUp();
    dlg.Results().SetRowBound(kBound);
    dlg.AddObserver(&events);
  }
  void TearDown() override { dlg.RemoveObserver(&events); }
  // One tick with `errors` error frames: as many rows, and a repeated header
  // after every 50th.
  void ErrorTick(int errors) {
    std::vector<std::uint8_t> bytes;
    for (int i = 0; i < errors; ++i) {
      const auto frame = EncodeFrame({7, 0, 1, 0});
      bytes.insert(bytes.end(), frame.begin(), frame.end());
    }
    serial.Push(bytes);
    Tick();
  }
  // Every row of the table against the row as it was added, newest first.
  void ExpectEveryRowAsAdded() {
    ASSERT_EQ(dlg.Results().Count(), events.rows.size());
    const std::size_t n = events.rows.size();
    for (std::size_t i = 0; i < n; ++i) {
      ASSERT_EQ(Cells(dlg.Results().At(i)), Cells(events.rows[n - 1 - i])) << "row " << i;
    }
  }

  RecordingObserver events;
};

TEST_F(RowsFromLogTest, OldRowsLeaveMemoryAndComeBackFromTheLog) {
  Start();
  for (int i = 0; i < 6; ++i) ErrorTick(2000);
  serial.Push({});
  Tick();
  Tick();  // the line is lost: a status row among them
  ErrorTick(2000);
  EXPECT_EQ(dlg.Results().Count(), 14'003u);
  EXPECT_LE(dlg.Results().RowsInMemory(), kBound + ResultsTable::kChunkRows);
  ExpectEveryRowAsAdded();
  dlg.StopTest();  // and after the log is closed
  ExpectEveryRowAsAdded();
}

// A front end that never shows the table (linkwatch-cli) keeps only the
// chunk being filled.
TEST_F(RowsFromLogTest, ABoundOfNoneKeepsOnlyTheNewestChunk) {
  dlg.Results().SetRowBound(0);
  Start();
  for (int i = 0; i < 10; ++i) ErrorTick(2000);
  EXPECT_EQ(dlg.Results().Count(), 20'001u);
  EXPECT_LE(dlg.Results().RowsInMemory(), ResultsTable::kChunkRows);
  ExpectEveryRowAsAdded();
}

TEST_F(RowsFromLogTest, RowsNotYetInTheFileStayInMemoryUntilTheyAre) {
  Start();
  ::signal(SIGXFSZ, SIG_IGN);
  rlimit saved{};
  ::getrlimit(RLIMIT_FSIZE, &saved);
  rlimit limit = saved;
  limit.rlim_cur = Log().size();
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limit), 0);
  for (int i = 0; i < 5; ++i) ErrorTick(2000);  // about 600 KB kept, nothing written
  EXPECT_EQ(dlg.Results().RowsInMemory(), dlg.Results().Count());
  ExpectEveryRowAsAdded();
  ::setrlimit(RLIMIT_FSIZE, &saved);
  ErrorTick(2000);  // the kept lines go out, and the rows may leave
  EXPECT_LE(dlg.Results().RowsInMemory(), kBound + ResultsTable::kChunkRows);
  ExpectEveryRowAsAdded();
}

TEST_F(RowsFromLogTest, ALogCreatedAgainStillGivesBackItsRows) {
  Start();
  for (int i = 0; i < 3; ++i) ErrorTick(2000);
  ASSERT_EQ(::unlink(logPath.c_str()), 0);
  for (int i = 0; i < 3; ++i) ErrorTick(2000);
  EXPECT_LE(dlg.Results().RowsInMemory(), kBound + ResultsTable::kChunkRows);
  ExpectEveryRowAsAdded();
}

TEST_F(RowsFromLogTest, RowsWhoseLogWasEmptiedShowThatTheyAreMissing) {
  Start();
  for (int i = 0; i < 6; ++i) ErrorTick(2000);
  dlg.StopTest();
  ASSERT_EQ(::truncate(logPath.c_str(), 0), 0);
  EXPECT_EQ(CellText(dlg.Results().At(dlg.Results().Count() - 1), 2), kMissingCell);
  EXPECT_EQ(Cells(dlg.Results().At(0)), Cells(events.rows.back())) << "the newest are in memory";
}

// The window builds its dialog with the device list; its table must leave
// memory all the same.
TEST_F(DlgTest, ADialogWithADeviceListBoundsItsTableToo) {
  FakeDeviceList devices;
  TestDlg window{platform, serial, devices, sleepLock};
  window.Results().SetRowBound(0);
  window.OnInitDialog();
  window.SetLogPath(logPath);
  window.OnStart();
  ASSERT_TRUE(window.IsRunning());
  for (int i = 0; i < 3; ++i) {
    std::vector<std::uint8_t> bytes;
    for (int f = 0; f < 4000; ++f) {
      const auto frame = EncodeFrame({7, 0, 1, 0});
      bytes.insert(bytes.end(), frame.begin(), frame.end());
    }
    serial.Push(bytes);
    platform.now += 1;
    window.OnTimer(ID_TICK);
  }
  EXPECT_EQ(window.Results().Count(), 12'001u);
  EXPECT_LE(window.Results().RowsInMemory(), ResultsTable::kChunkRows);
  window.StopTest();
}

}  // namespace
}  // namespace linkwatch::testing
