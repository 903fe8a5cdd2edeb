#include "record/local_time.h"

#include <ctime>

namespace linkwatch {

LocalTime BreakDown(Seconds t) {
  const auto tt = static_cast<std::time_t>(t);
  std::tm tm{};
  if (localtime_r(&tt, &tm) == nullptr) return {};
  return {tm.tm_mday, tm.tm_mon + 1, tm.tm_year + 1900, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

}  // namespace linkwatch
