#include "record/log_line_parse.h"

#include <charconv>
#include <cmath>
#include <ctime>
#include <system_error>

#include "record/row_texts.h"

namespace linkwatch {

namespace {

// "03-07-2003 14:05:09 ": the stamp at the start of every row line.
constexpr std::size_t kStampLength = 20;
constexpr double kScientificFrom = 1'000'000'000.0;

bool Digits(std::string_view text, std::size_t at, std::size_t count, int& value) {
  value = 0;
  for (std::size_t i = at; i < at + count; ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    value = value * 10 + (text[i] - '0');
  }
  return true;
}

std::optional<Seconds> ParseStamp(std::string_view line) {
  if (line.size() < kStampLength || line[2] != '-' || line[5] != '-' || line[10] != ' ' ||
      line[13] != ':' || line[16] != ':' || line[19] != ' ') {
    return std::nullopt;
  }
  std::tm tm{};
  int day = 0, month = 0, year = 0, hour = 0, minute = 0, second = 0;
  if (!Digits(line, 0, 2, day) || !Digits(line, 3, 2, month) || !Digits(line, 6, 4, year) ||
      !Digits(line, 11, 2, hour) || !Digits(line, 14, 2, minute) || !Digits(line, 17, 2, second)) {
    return std::nullopt;
  }
  tm.tm_mday = day;
  tm.tm_mon = month - 1;
  tm.tm_year = year - 1900;
  tm.tm_hour = hour;
  tm.tm_min = minute;
  tm.tm_sec = second;
  // In the hour a clock change repeats, either instant shows the same texts.
  tm.tm_isdst = -1;
  return static_cast<Seconds>(std::mktime(&tm));
}

}  // namespace

std::optional<TableRow> ParseLogLine(std::string_view line) {
  const std::optional<Seconds> t = ParseStamp(line);
  if (!t) return std::nullopt;
  const std::string_view rest = line.substr(kStampLength);
  if (rest == kLostLogText) return TableRow::Status(*t, false);
  if (rest == kBackLogText) return TableRow::Status(*t, true);
  // Four numbers, each right-aligned and followed by one space. from_chars,
  // as the texts do not follow the user's locale.
  double values[4] = {};
  const char* p = rest.data();
  const char* const end = rest.data() + rest.size();
  for (double& value : values) {
    while (p != end && *p == ' ') ++p;
    const auto [next, ec] = std::from_chars(p, end, value);
    if (ec != std::errc{} || next == end || *next != ' ') return std::nullopt;
    // Only totals above 1 000 000 000 are written in the scientific form,
    // and "1.000e+009" must not come back as one that is not.
    if (std::string_view(p, next).find('e') != std::string_view::npos && value <= kScientificFrom) {
      value = std::nextafter(kScientificFrom, HUGE_VAL);
    }
    p = next + 1;
  }
  if (p != end) return std::nullopt;
  return TableRow::Result(*t, {values[0], values[1], values[2], values[3]});
}

}  // namespace linkwatch
