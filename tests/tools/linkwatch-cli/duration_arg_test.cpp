#include "duration_arg.h"

#include <gtest/gtest.h>

#include <string>

namespace linkwatch::cli {
namespace {

struct GoodCase {
  const char* text;
  int seconds;
  int listIndex;
};

class GoodDuration : public ::testing::TestWithParam<GoodCase> {};

TEST_P(GoodDuration, GivesSecondsAndTheMatchingListItem) {
  const ParsedDuration d = ParseDuration(GetParam().text);
  EXPECT_EQ(d.error, "");
  EXPECT_EQ(d.seconds, GetParam().seconds);
  EXPECT_EQ(d.listIndex, GetParam().listIndex);
}

INSTANTIATE_TEST_SUITE_P(
    Table, GoodDuration,
    ::testing::Values(GoodCase{"continuous", 0, 0}, GoodCase{"Continuous", 0, 0},
                      GoodCase{"15 minutes", 900, 1}, GoodCase{"12 HOURS", 43200, 6},
                      GoodCase{"1 week", 604800, 9}, GoodCase{"90", 90, -1},
                      GoodCase{"90s", 90, -1}, GoodCase{"15m", 900, 1}, GoodCase{"2h", 7200, 4},
                      GoodCase{"7d", 604800, 9}, GoodCase{"1", 1, -1}, GoodCase{"007m", 420, -1},
                      // The largest duration a test can hold.
                      GoodCase{"2147483647", 2147483647, -1}, GoodCase{"24855d", 2147472000, -1}));

class BadDuration : public ::testing::TestWithParam<const char*> {};

TEST_P(BadDuration, IsAnError) {
  const ParsedDuration d = ParseDuration(GetParam());
  EXPECT_NE(d.error, "") << GetParam();
  EXPECT_NE(d.error.find(std::string("'") + GetParam() + "'"), std::string::npos)
      << "the error names the text: " << d.error;
}

INSTANTIATE_TEST_SUITE_P(Table, BadDuration,
                         ::testing::Values("", "0", "0s", "000h", "-5", "-5m", "+5", " 5", "5 ",
                                           "5x", "5ms", "m", "1.5h", "0x10", "2147483648", "24856d",
                                           "99999999999999999999999", "18446744073709551616s",
                                           "15 minute", "forever"));

}  // namespace
}  // namespace linkwatch::cli
