#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "dlg_fixture.h"
#include "quality/second_csv.h"
#include "record/log_file.h"

namespace linkwatch::testing {
namespace {

class CsvBesideLogTest : public DlgTest {
 protected:
  std::string csvPath = dir.File("results.csv");
  std::string Csv() const { return ReadFile(csvPath); }
  static void Write(const std::string& path, const std::string& text) {
    LogFile f;
    ASSERT_EQ(f.Open(path), 0);
    ASSERT_EQ(f.Write(text), 0);
  }
};

TEST_F(CsvBesideLogTest, StartCreatesItWithItsHeaderAndTheLogIsUnchanged) {
  // The same test with and without the CSV gives the same log, byte for byte.
  std::string logs[2];
  for (const bool csv : {false, true}) {
    std::filesystem::remove(logPath);
    std::filesystem::remove(csvPath);
    dlg.SetCsvEnabled(csv);
    Start();
    serial.Push(EncodeFrame({960, 2, 3, 0}));
    Tick();
    Tick();
    Tick();
    serial.Push(EncodeFrame({960, 0, 0, 1}));
    Tick();
    dlg.StopTest();
    logs[csv] = Log();
    EXPECT_EQ(FileExists(csvPath), csv);
    platform.now = At(2003, 7, 3, 14, 5, 9);
  }
  EXPECT_EQ(logs[0], logs[1]);
  EXPECT_TRUE(Csv().starts_with("time,packets,ucerr,cerr,syncloss,frames,line\n"));
}

TEST_F(CsvBesideLogTest, OneLinePerTickWithThatTicksCountsAndLine) {
  Start();
  serial.Push(EncodeFrame({960, 2, 3, 0}));
  serial.Push(EncodeFrame({40, 0, 0, 1}));
  Tick();  // two frames
  Tick();  // quiet
  Tick();  // quiet again: the loss is declared
  Tick();  // still lost
  serial.Push(EncodeFrame({100, 0, 0, 0}));
  Tick();  // back
  serial.Push(std::vector<std::uint8_t>{0x00, 0x01});
  Tick();  // bytes but no frame: the line is up
  dlg.StopTest();
  EXPECT_EQ(Csv(),
            "time,packets,ucerr,cerr,syncloss,frames,line\n"
            "2003-07-03T14:05:10+00:00,1000,2,3,1,2,up\n"
            "2003-07-03T14:05:11+00:00,0,0,0,0,0,quiet\n"
            "2003-07-03T14:05:12+00:00,0,0,0,0,0,lost\n"
            "2003-07-03T14:05:13+00:00,0,0,0,0,0,lost\n"
            "2003-07-03T14:05:14+00:00,100,0,0,0,1,up\n"
            "2003-07-03T14:05:15+00:00,0,0,0,0,0,up\n");
}

TEST_F(CsvBesideLogTest, TheTickThatEndsTheTestAddsNoLine) {
  Init();
  dlg.SetDuration(2);
  dlg.OnStart();
  Tick();
  Tick();  // the duration is reached: the test stops without a poll
  EXPECT_FALSE(dlg.IsRunning());
  const std::string csv = Csv();
  EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 2);  // the header and the first tick
}

TEST_F(CsvBesideLogTest, AnExistingCsvAloneIsAskedAboutAndKeptOnNo) {
  Write(csvPath, "keep me");
  Init();
  platform.Answer(BoxAnswer::No);  // "Overwrite Existing File?"; then the file dialog is cancelled
  dlg.OnStart();
  EXPECT_FALSE(dlg.IsRunning());
  ASSERT_EQ(platform.boxes.size(), 1u);
  EXPECT_EQ(platform.boxes[0].text, "Overwrite Existing File?");
  EXPECT_EQ(Csv(), "keep me");
  EXPECT_FALSE(FileExists(logPath));
}

TEST_F(CsvBesideLogTest, ACsvBesideANewlyChosenLogIsAskedAbout) {
  Write(logPath, "old log");
  const std::string chosen = dir.File("other.txt");
  Write(dir.File("other.csv"), "old csv");
  Init();
  platform.saveAnswer = chosen;
  platform.Answer(BoxAnswer::No);  // overwrite results.txt? no: choose another
  platform.Answer(BoxAnswer::No);  // other.csv exists: overwrite? no
  dlg.OnStart();
  EXPECT_FALSE(dlg.IsRunning());
  EXPECT_EQ(platform.boxes.size(), 2u);
  EXPECT_EQ(ReadFile(dir.File("other.csv")), "old csv");
  EXPECT_FALSE(FileExists(chosen));
}

TEST_F(CsvBesideLogTest, ACsvHeldElsewhereStopsTheStartAndLeavesTheLogAlone) {
  Write(logPath, "the last test");
  LogFile holder;
  ASSERT_EQ(holder.Open(csvPath), 0);
  Init();
  platform.Answer(BoxAnswer::Yes);
  dlg.OnStart();
  EXPECT_FALSE(dlg.IsRunning());
  EXPECT_EQ(platform.boxes.back().text, "Cannot open " + csvPath);
  EXPECT_EQ(Log(), "the last test");
  EXPECT_EQ(serial.opens, 0);
}

TEST_F(CsvBesideLogTest, SwitchedOffNoCsvIsMadeOrAskedAbout) {
  Write(csvPath, "someone else's");
  dlg.SetCsvEnabled(false);
  Start();
  EXPECT_TRUE(platform.boxes.empty());
  dlg.StopTest();
  EXPECT_EQ(Csv(), "someone else's");
  EXPECT_FALSE(dlg.CsvInUse());
}

}  // namespace
}  // namespace linkwatch::testing
