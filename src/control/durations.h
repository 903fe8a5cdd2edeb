#pragma once

#include <array>

namespace linkwatch {

struct DurationItem {
  const char* text;
  int seconds;  // 0 = continuous
};

// The items of the duration list, in list order.
inline constexpr std::array<DurationItem, 10> kDurationItems{{
    {"Continuous", 0},
    {"15 minutes", 900},
    {"30 minutes", 1800},
    {"1 hour", 3600},
    {"2 hours", 7200},
    {"4 hours", 14400},
    {"12 hours", 43200},
    {"1 day", 86400},
    {"2 days", 172800},
    {"1 week", 604800},
}};

// The seconds of list item index; 0 (continuous) for an index past the list.
constexpr int DurationSeconds(int index) {
  if (index < 0 || index >= static_cast<int>(kDurationItems.size())) return 0;
  return kDurationItems[static_cast<std::size_t>(index)].seconds;
}

}  // namespace linkwatch
