#pragma once

#include <ctime>

#include "base/seconds.h"

namespace linkwatch::testing {

// An instant given by its calendar fields in UTC; the tests run with TZ=UTC,
// so that these are the local fields the texts show.
inline Seconds At(int year, int month, int day, int hour, int minute, int second) {
  std::tm tm{};
  tm.tm_year = year - 1900;
  tm.tm_mon = month - 1;
  tm.tm_mday = day;
  tm.tm_hour = hour;
  tm.tm_min = minute;
  tm.tm_sec = second;
  return static_cast<Seconds>(::timegm(&tm));
}

}  // namespace linkwatch::testing
