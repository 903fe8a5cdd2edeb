#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "quality/quality_summary.h"

namespace linkwatch {

// "3d 04:05:06", or "04:05:06" under a day.
std::string DurationText(std::int64_t seconds);
// Local "2026-12-11 14:05:09".
std::string LocalStampText(std::int64_t t);
// A ratio as a percentage with enough digits for small error rates, or "n/a".
std::string RatioText(const std::optional<double>& ratio);

// The summary as label and value pairs, in reading order: what the text
// output prints and the report's table shows.
std::vector<std::pair<std::string, std::string>> SummaryRows(const QualitySummary& s);

// The text summary: the rows, the worst hour and every loss of the line.
std::string SummaryText(const QualitySummary& s, const std::string& source);

// The figures as one JSON object, with a line end.
std::string SummaryJson(const QualitySummary& s);

}  // namespace linkwatch
