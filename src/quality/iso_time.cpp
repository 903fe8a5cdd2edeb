#include "quality/iso_time.h"

#include <cstdio>
#include <ctime>

namespace linkwatch {

std::int64_t DaysFromCivil(int year, int month, int day) {
  const std::int64_t y = year - (month <= 2 ? 1 : 0);
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const std::int64_t yoe = y - era * 400;
  const std::int64_t doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

std::string IsoLocalTime(std::int64_t t) {
  const auto tt = static_cast<std::time_t>(t);
  std::tm tm{};
  if (localtime_r(&tt, &tm) == nullptr) return {};
  const long off = tm.tm_gmtoff;
  const long a = off < 0 ? -off : off;
  char buf[64];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02dT%02d:%02d:%02d%c%02ld:%02ld", tm.tm_year + 1900,
                tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec, off < 0 ? '-' : '+',
                a / 3600, (a / 60) % 60);
  return buf;
}

namespace {

bool Digits(std::string_view s, std::size_t pos, std::size_t n, int& out) {
  if (pos + n > s.size()) return false;
  int v = 0;
  for (std::size_t i = pos; i < pos + n; ++i) {
    const char c = s[i];
    if (c < '0' || c > '9') return false;
    v = v * 10 + (c - '0');
  }
  out = v;
  return true;
}

}  // namespace

std::optional<std::int64_t> ParseIsoTime(std::string_view s) {
  int y, mo, d, h, mi, se;
  if (s.size() < 20 || !Digits(s, 0, 4, y) || s[4] != '-' || !Digits(s, 5, 2, mo) || s[7] != '-' ||
      !Digits(s, 8, 2, d) || s[10] != 'T' || !Digits(s, 11, 2, h) || s[13] != ':' ||
      !Digits(s, 14, 2, mi) || s[16] != ':' || !Digits(s, 17, 2, se)) {
    return std::nullopt;
  }
  if (mo < 1 || mo > 12 || d < 1 || d > 31 || h > 23 || mi > 59 || se > 60) return std::nullopt;
  int offset = 0;
  if (s.size() == 20 && s[19] == 'Z') {
    offset = 0;
  } else {
    int oh, om;
    if (s.size() != 25 || (s[19] != '+' && s[19] != '-') || !Digits(s, 20, 2, oh) || s[22] != ':' ||
        !Digits(s, 23, 2, om) || oh > 23 || om > 59) {
      return std::nullopt;
    }
    offset = (oh * 3600 + om * 60) * (s[19] == '-' ? -1 : 1);
  }
  return DaysFromCivil(y, mo, d) * 86400 + h * 3600 + mi * 60 + se - offset;
}

}  // namespace linkwatch
