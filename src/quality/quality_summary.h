#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "quality/g826.h"
#include "quality/second_record.h"

namespace linkwatch {

// Error counts of one minute or one hour of a test.
struct ErrorBucket {
  std::int64_t begin = 0;  // calendar seconds
  std::uint64_t ucErr = 0, cErr = 0, syncLoss = 0;
  std::uint64_t es = 0, ses = 0;
};

struct LineLoss {
  std::int64_t begin = 0;  // the first second without bytes
  std::int64_t end = 0;    // the first second with bytes again, or the test's end
};

// Everything a report shows about a test.
struct QualitySummary {
  G826Figures figures;
  bool estimated = false;                   // rebuilt from a log: SES and BBE are estimates
  std::optional<std::int64_t> first, last;  // calendar seconds of the first and last record
  std::vector<ErrorBucket> minutes;         // from the minute of the first record on
  std::vector<TimeSpan> sesSpans;
  std::vector<TimeSpan> unavailableSpans;
  std::vector<LineLoss> lineLosses;
  std::optional<ErrorBucket> worstHour;  // the clock hour with the most SES, then ES, then ucERR
  std::int64_t utcOffset = 0;            // of the local zone at the first record

  // The minutes gathered into the clock hours of the zone at the start.
  std::vector<ErrorBucket> Hours() const;
};

// Builds the summary one record at a time, live or from a file.
class QualitySummariser {
 public:
  // Seconds further apart than this are not bucketed: a time that jumps so far
  // is not the record of one test.
  static constexpr std::int64_t kMaxSpan = 400LL * 86400;

  void Add(const SecondRecord& r);
  QualitySummary Summary(bool estimated = false) const;
  const G826Accumulator& G826() const { return m_g826; }

 private:
  G826Accumulator m_g826;
  std::optional<std::int64_t> m_first, m_last;
  std::int64_t m_offset = 0;  // the local zone's offset at the first record, for clock hours
  std::vector<ErrorBucket> m_minutes;
  std::vector<TimeSpan> m_sesSpans;
  std::vector<LineLoss> m_losses;
  std::optional<std::int64_t> m_lossBegin;  // a run of silent seconds
  bool m_bLossDeclared = false;
};

}  // namespace linkwatch
