#pragma once

#include <string>
#include <variant>

#include "quality/input_error.h"
#include "quality/quality_summary.h"

namespace linkwatch {

struct LoadedSummary {
  QualitySummary summary;
  std::string source;  // the file actually read: a log's CSV when it has one
};

// Summarises a per-second CSV or a log, told apart by their first line. Given
// a log whose CSV exists beside it, the CSV is read: it has every second.
std::variant<LoadedSummary, InputError> LoadSummary(const std::string& path);

}  // namespace linkwatch
