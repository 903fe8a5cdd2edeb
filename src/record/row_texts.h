#pragma once

#include <string>

#include "base/totals.h"
#include "record/local_time.h"

namespace linkwatch {

// "03-07-2003": day, month, four-digit year.
std::string DateText(const LocalTime& lt);
// "14:05:09".
std::string TimeText(const LocalTime& lt);
// A total as the table and the log show it: "%9d" of the truncated value, or
// above 1 000 000 000 the scientific form "1.235e+009" (exponent of at least
// three digits, whatever the C library prints).
std::string NumberText(double x);

inline constexpr const char* kLostCell = "RS-232  Lost";
inline constexpr const char* kBackCell = "RS-232 Back";
inline constexpr const char* kLostLogText = "RS-232 Connection Loss ";
inline constexpr const char* kBackLogText = "RS-232 Connection Restored ";

// The log line of a result row: CR LF, date, time and the four totals, each
// followed by one space.
std::string ResultLogLine(Seconds t, const Totals& totals);
// The log line of a status row: CR LF, date, time, then the loss or restore text.
std::string StatusLogLine(Seconds t, bool bRestored);

}  // namespace linkwatch
