#include "quality/g826.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "seconds.h"

namespace linkwatch {
namespace {

struct Case {
  const char* name;
  std::string pattern;
  std::uint64_t available, unavailable, notMeasured, es, ses, bbe, bbePackets;
  friend void PrintTo(const Case& c, std::ostream* os) { *os << '"' << c.pattern << '"'; }
};

// Worked out by hand from the rules: ten SES in a row open unavailable time
// from their first second; ten non-SES in a row close it from theirs; seconds
// not measured are skipped by both; ES, SES and BBE count in available time.
const Case kCases[] = {
    {"EmptyTest", "", 0, 0, 0, 0, 0, 0, 0},
    {"CleanSeconds", ".....", 5, 0, 0, 0, 0, 0, 500},
    {"CorrectedErrorsAreNotErrors", "cc.", 3, 0, 0, 0, 0, 0, 300},
    {"ThirtyPercentBoundary", "ab.y", 4, 0, 0, 3, 2, 29, 200},
    {"UcErrWithoutPacketsIsSevere", "z.", 2, 0, 0, 1, 1, 0, 100},
    {"NineSesStayAvailable", "SSSSSSSSS.", 10, 0, 0, 9, 9, 0, 100},
    {"TenSesAreUnavailableFromTheFirst", "..SSSSSSSSSS", 2, 10, 0, 0, 0, 0, 200},
    // Unavailable time goes on at the end: two non-SES do not close it.
    {"FewNonSesAfterEntryStayUnavailable", "..SSSSSSSSSS..", 2, 12, 0, 0, 0, 0, 200},
    {"TenNonSesAreAvailableFromTheFirst", "SSSSSSSSSSe..........", 11, 10, 0, 1, 0, 1, 1100},
    {"SesBreaksTheExitRun", "SSSSSSSSSS.....S..........", 10, 16, 0, 0, 0, 0, 1000},
    {"NotMeasuredInsideSesRunDoesNotBreakIt", "SSSSS--SSSSS", 0, 10, 2, 0, 0, 0, 0},
    {"NotMeasuredDoesNotCompleteARun", "SSSSSSSSS-.", 10, 0, 1, 9, 9, 0, 100},
    {"QuietAndLostAreNotMeasured", ".q--q.", 2, 0, 4, 0, 0, 0, 200},
    {"NotMeasuredInsideExitRun", "SSSSSSSSSS.....--.....", 10, 10, 2, 0, 0, 0, 1000},
    {"SyncLossRunMakesUnavailable", "yyyyyyyyyy", 0, 10, 0, 0, 0, 0, 0},
};

class G826Table : public testing::TestWithParam<Case> {};

TEST_P(G826Table, FiguresMatchHandWorkedCounts) {
  const Case& c = GetParam();
  G826Accumulator acc;
  for (const SecondRecord& r : test::Seconds(c.pattern)) acc.Add(r);
  const G826Figures f = acc.Figures();
  EXPECT_EQ(f.secondsAvailable, c.available);
  EXPECT_EQ(f.secondsUnavailable, c.unavailable);
  EXPECT_EQ(f.secondsNotMeasured, c.notMeasured);
  EXPECT_EQ(f.secondsMeasured, c.available + c.unavailable);
  EXPECT_EQ(f.secondsTotal, c.pattern.size());
  EXPECT_EQ(f.es, c.es);
  EXPECT_EQ(f.ses, c.ses);
  EXPECT_EQ(f.bbe, c.bbe);
  EXPECT_EQ(f.bbePackets, c.bbePackets);
}

INSTANTIATE_TEST_SUITE_P(Sequences, G826Table, testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(G826, RatiosOfAKnownTest) {
  // 20 available seconds: 2 ES of which 1 SES; 10 unavailable.
  G826Accumulator acc;
  for (const auto& r : test::Seconds("e.S.................SSSSSSSSSS")) acc.Add(r);
  const G826Figures f = acc.Figures();
  ASSERT_EQ(f.secondsAvailable, 20u);
  EXPECT_DOUBLE_EQ(*f.Esr(), 2.0 / 20);
  EXPECT_DOUBLE_EQ(*f.Sesr(), 1.0 / 20);
  EXPECT_DOUBLE_EQ(*f.Bber(), 1.0 / 1900);
  EXPECT_DOUBLE_EQ(*f.Availability(), 20.0 / 30);
  EXPECT_EQ(f.packets, 3000u);
  EXPECT_EQ(f.ucErr, 1u + 50u + 500u);
}

TEST(G826, EmptyTestHasNoRatios) {
  const G826Figures f = G826Accumulator{}.Figures();
  EXPECT_FALSE(f.Esr());
  EXPECT_FALSE(f.Sesr());
  EXPECT_FALSE(f.Bber());
  EXPECT_FALSE(f.Availability());
}

TEST(G826, LiveFiguresFollowEachSecond) {
  // While nine SES are pending they count as available SES; the tenth moves
  // all ten to unavailable time at once.
  G826Accumulator acc;
  const auto seconds = test::Seconds("SSSSSSSSSS");
  for (int i = 0; i < 9; ++i) acc.Add(seconds[i]);
  EXPECT_EQ(acc.Figures().ses, 9u);
  EXPECT_EQ(acc.Figures().secondsAvailable, 9u);
  acc.Add(seconds[9]);
  EXPECT_EQ(acc.Figures().ses, 0u);
  EXPECT_EQ(acc.Figures().secondsUnavailable, 10u);
  EXPECT_TRUE(acc.Unavailable());
}

TEST(G826, UnavailableSpansRunFromFirstSesToFirstAvailableSecond) {
  G826Accumulator acc;
  const std::int64_t t0 = 5000;
  for (const auto& r : test::Seconds("..SSSSSSSSSS...--.......SSSSSSSSSS", t0)) acc.Add(r);
  const std::vector<TimeSpan> spans = acc.UnavailableSpans();
  ASSERT_EQ(spans.size(), 2u);
  EXPECT_EQ(spans[0], (TimeSpan{t0 + 2, t0 + 12}));
  // The second is still open at the end of the test.
  EXPECT_EQ(spans[1], (TimeSpan{t0 + 24, t0 + 34}));
}

}  // namespace
}  // namespace linkwatch
