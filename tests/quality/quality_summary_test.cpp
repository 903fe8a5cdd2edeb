#include "quality/quality_summary.h"

#include <gtest/gtest.h>

#include "seconds.h"

namespace linkwatch {
namespace {

TEST(QualitySummary, SpansLossesAndMinutes) {
  const std::int64_t t0 = 1'800'000'000;  // a whole minute
  QualitySummariser s;
  // One quiet tick is no loss; quiet then lost is one, from the quiet second
  // to the first second with bytes.
  for (const auto& r : test::Seconds("..SS.q..q---.e", t0)) s.Add(r);
  const QualitySummary q = s.Summary();
  ASSERT_EQ(q.sesSpans.size(), 1u);
  EXPECT_EQ(q.sesSpans[0], (TimeSpan{t0 + 2, t0 + 4}));
  ASSERT_EQ(q.lineLosses.size(), 1u);
  EXPECT_EQ(q.lineLosses[0].begin, t0 + 8);
  EXPECT_EQ(q.lineLosses[0].end, t0 + 12);
  ASSERT_EQ(q.minutes.size(), 1u);
  EXPECT_EQ(q.minutes[0].ucErr, 101u);
  EXPECT_EQ(q.minutes[0].es, 3u);
  EXPECT_EQ(*q.first, t0);
  EXPECT_EQ(*q.last, t0 + 13);
}

TEST(QualitySummary, LossStillOpenAtTheEndReachesTheEnd) {
  QualitySummariser s;
  for (const auto& r : test::Seconds("..q--", 60)) s.Add(r);
  const QualitySummary q = s.Summary();
  ASSERT_EQ(q.lineLosses.size(), 1u);
  EXPECT_EQ(q.lineLosses[0].begin, 62);
  EXPECT_EQ(q.lineLosses[0].end, 65);
}

TEST(QualitySummary, WorstHourHasTheMostSes) {
  QualitySummariser s;
  const std::int64_t t0 = 3600 * 500'000;
  // Hour 0: many ES, no SES; hour 1: one SES.
  for (const auto& r : test::Seconds(std::string(30, 'e'), t0)) s.Add(r);
  for (const auto& r : test::Seconds("S", t0 + 3600 + 5)) s.Add(r);
  const QualitySummary q = s.Summary();
  ASSERT_TRUE(q.worstHour);
  EXPECT_EQ(q.worstHour->begin, t0 + 3600);
  EXPECT_EQ(q.Hours().size(), 2u);
  EXPECT_FALSE(QualitySummariser{}.Summary().worstHour);
}

}  // namespace
}  // namespace linkwatch
