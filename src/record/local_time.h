#pragma once

#include "base/seconds.h"

namespace linkwatch {

// A seconds count broken down into local calendar fields.
struct LocalTime {
  int day = 1;      // 1 to 31
  int month = 1;    // 1 to 12
  int year = 1970;  // all digits
  int hour = 0;     // 0 to 23
  int minute = 0;
  int second = 0;
};

LocalTime BreakDown(Seconds t);

}  // namespace linkwatch
