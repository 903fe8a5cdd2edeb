#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace linkwatch {

// Local time with its UTC offset, to the second: 2026-12-11T14:05:09+01:00.
std::string IsoLocalTime(std::int64_t t);

// Reads the form above (or with Z for UTC) back into seconds since the epoch.
std::optional<std::int64_t> ParseIsoTime(std::string_view text);

// Days since 1970-01-01 of a proleptic Gregorian date.
std::int64_t DaysFromCivil(int year, int month, int day);

}  // namespace linkwatch
