#include "control/stamp_texts.h"

#include <cstdio>

namespace linkwatch {

std::string StampText(Seconds t) {
  const LocalTime lt = BreakDown(t);
  char buf[64];
  const int n = std::snprintf(buf, sizeof buf, "%02d-%02d-%02d   %02d:%02d:%02d", lt.day, lt.month,
                              lt.year, lt.hour, lt.minute, lt.second);
  return std::string(buf, n > 0 ? static_cast<std::size_t>(n) : 0);
}

std::string ElapsedText(Seconds e) {
  const long long days = e / 86400;
  const long long hours = e / 3600 - days * 24;
  const long long minutes = e / 60 - (e / 3600) * 60;
  const long long seconds = e - (e / 60) * 60;
  char buf[96];
  const int n = std::snprintf(buf, sizeof buf, "%02lldd-%02lldh-%02lldm-%02llds", days, hours,
                              minutes, seconds);
  return std::string(buf, n > 0 ? static_cast<std::size_t>(n) : 0);
}

}  // namespace linkwatch
