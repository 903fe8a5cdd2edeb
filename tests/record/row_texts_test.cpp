#include "record/row_texts.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <ctime>

#include "calendar.h"
#include "record/results_table.h"

namespace linkwatch::testing {
namespace {

struct NumberCase {
  double value;
  const char* text;
};

TEST(NumberText, Forms) {
  const NumberCase cases[] = {
      {0, "        0"},           {960, "      960"},
      {12.9, "       12"},  // truncated, not rounded
      {999999999, "999999999"},   {1000000000, "1000000000"},
      {1000000001, "1.000e+009"}, {1234567890, "1.235e+009"},
      {4.2e12, "4.200e+012"},     {1e100, "1.000e+100"},
  };
  for (const NumberCase& c : cases) EXPECT_EQ(NumberText(c.value), c.text) << c.value;
}

// The texts are local time: the tests run in UTC.
class TextsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ::setenv("TZ", "UTC", 1);
    ::tzset();
  }
};

TEST_F(TextsTest, DateAndTimeOfOneInstant) {
  const LocalTime lt = BreakDown(At(2003, 7, 3, 14, 5, 9));
  EXPECT_EQ(DateText(lt), "03-07-2003");
  EXPECT_EQ(TimeText(lt), "14:05:09");
  // 64-bit seconds: past January 2038.
  EXPECT_EQ(DateText(BreakDown(At(2040, 2, 29, 0, 0, 0))), "29-02-2040");
}

TEST_F(TextsTest, ResultLineOfAStartRow) {
  const std::string line = ResultLogLine(At(2003, 7, 3, 14, 5, 9), {});
  EXPECT_EQ(line, "\r\n03-07-2003 14:05:09         0         0         0         0 ");
  EXPECT_EQ(line.size(), 62u);
  // One character more for each ten-character field.
  EXPECT_EQ(ResultLogLine(0, {1e9, 0, 2e9, 0}).size(), 64u);
}

TEST_F(TextsTest, StatusLines) {
  const Seconds t = At(2003, 7, 3, 14, 9, 2);
  EXPECT_EQ(StatusLogLine(t, false), "\r\n03-07-2003 14:09:02 RS-232 Connection Loss ");
  EXPECT_EQ(StatusLogLine(t, true), "\r\n03-07-2003 14:09:02 RS-232 Connection Restored ");
  EXPECT_EQ(StatusLogLine(t, false).size(), 45u);
  EXPECT_EQ(StatusLogLine(t, true).size(), 49u);
}

TEST_F(TextsTest, CellsOfEachRowKind) {
  const Seconds t = At(2003, 7, 3, 14, 5, 9);
  const TableRow result = TableRow::Result(t, {960, 1, 3, 0});
  const TableRow lost = TableRow::Status(t, false);
  const TableRow back = TableRow::Status(t, true);
  const std::vector<std::string> resultCells{"03-07-2003", "14:05:09",  "      960",
                                             "        1",  "        3", "        0"};
  const std::vector<std::string> lostCells{"03-07-2003", "14:05:09", "RS-232  Lost", "", "", ""};
  const std::vector<std::string> backCells{"03-07-2003", "14:05:09", "RS-232 Back", "", "", ""};
  for (int col = 0; col < kResultColumns; ++col) {
    EXPECT_EQ(CellText(result, col), resultCells[col]);
    EXPECT_EQ(CellText(lost, col), lostCells[col]);
    EXPECT_EQ(CellText(back, col), backCells[col]);
  }
}

}  // namespace
}  // namespace linkwatch::testing
