#pragma once

#include <string>
#include <string_view>

#include "base/totals.h"

namespace linkwatch::cli {

// The status line of a running test: the elapsed text and the four totals
// as the table shows them, under the log's column titles. Cut to width
// characters when width is above 0, so that it never wraps: a wrapped line
// cannot be redrawn in place.
std::string StatusLine(std::string_view elapsed, const Totals& totals, int width);

}  // namespace linkwatch::cli
