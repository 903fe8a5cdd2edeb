#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "quality/input_error.h"
#include "quality/second_record.h"

namespace linkwatch {

// True when text starts like a linkwatch log (its column header).
bool LooksLikeLog(std::string_view text);

// Rebuilds per-second records from a log, for a test that has no CSV. The log
// only has a line per error frame, with running totals: each frame's counts
// land exactly in its second, so ES is exact; the packets between two lines
// are spread evenly over the seconds between them, so whether a second was
// severely errored is an estimate. Seconds between "Connection Loss" and
// "Connection Restored" are lost, the one before the loss quiet. Lines may end
// in CR LF or LF.
std::optional<InputError> ParseLog(std::string_view text, const std::string& name,
                                   const std::function<void(const SecondRecord&)>& onRecord);

}  // namespace linkwatch
