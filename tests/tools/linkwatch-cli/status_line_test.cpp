#include "status_line.h"

#include <gtest/gtest.h>

namespace linkwatch::cli {
namespace {

TEST(StatusLine, ElapsedAndTheFourTotalsUnderTheLogTitles) {
  EXPECT_EQ(StatusLine("00d-01h-02m-03s", {3600, 1, 25, 0}, 0),
            "00d-01h-02m-03s  No.Pckts 3600  ucERR 1  cERR 25  SyncLoss 0");
  // Totals past a billion come in the table's scientific form.
  EXPECT_EQ(StatusLine("07d-00h-00m-00s", {1234567890.0, 0, 0, 0}, 0),
            "07d-00h-00m-00s  No.Pckts 1.235e+009  ucERR 0  cERR 0  SyncLoss 0");
}

TEST(StatusLine, IsCutToTheTerminalWidthSoItNeverWraps) {
  EXPECT_EQ(StatusLine("00d-00h-00m-05s", {500, 0, 0, 0}, 20), "00d-00h-00m-05s  No.");
  EXPECT_EQ(StatusLine("00d-00h-00m-05s", {500, 0, 0, 0}, 200).size(), 58u);
}

}  // namespace
}  // namespace linkwatch::cli
