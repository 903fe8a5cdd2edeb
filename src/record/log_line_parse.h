#pragma once

#include <optional>
#include <string_view>

#include "record/results_table.h"

namespace linkwatch {

// The row a result or status line of the log was written for; the line is
// given without its CR LF. Anything else (a header, the note of lines lost,
// a termination line, a torn line) gives nothing. The row shows the same
// texts as the one written, though a total above 1 000 000 000 comes back
// only to the four digits its text holds.
std::optional<TableRow> ParseLogLine(std::string_view line);

}  // namespace linkwatch
