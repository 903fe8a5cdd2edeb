#include "duration_arg.h"

#include <cctype>
#include <charconv>
#include <cstdint>
#include <limits>

#include "control/durations.h"

namespace linkwatch::cli {

namespace {

bool SameIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

int ListIndexOf(int seconds) {
  for (std::size_t i = 0; i < kDurationItems.size(); ++i) {
    if (kDurationItems[i].seconds == seconds) return static_cast<int>(i);
  }
  return -1;
}

// Seconds per unit letter; 0 for a letter that is no unit.
std::int64_t UnitSeconds(char unit) {
  switch (unit) {
    case 's':
      return 1;
    case 'm':
      return 60;
    case 'h':
      return 3600;
    case 'd':
      return 86400;
    default:
      return 0;
  }
}

ParsedDuration Error(std::string_view text, const std::string& why) {
  return {0, -1, "bad duration '" + std::string(text) + "': " + why};
}

}  // namespace

ParsedDuration ParseDuration(std::string_view text) {
  for (std::size_t i = 0; i < kDurationItems.size(); ++i) {
    if (SameIgnoringCase(text, kDurationItems[i].text)) {
      return {kDurationItems[i].seconds, static_cast<int>(i), {}};
    }
  }

  std::string_view digits = text;
  std::int64_t perUnit = 1;
  if (!digits.empty() && std::isalpha(static_cast<unsigned char>(digits.back()))) {
    perUnit = UnitSeconds(digits.back());
    if (perUnit == 0) return Error(text, "the unit must be s, m, h or d");
    digits.remove_suffix(1);
  }
  // from_chars would take a sign; only plain digits are a count.
  if (digits.empty() || !std::isdigit(static_cast<unsigned char>(digits.front()))) {
    return Error(text, "expected a number of seconds with an optional unit, or a list item");
  }
  std::uint64_t count = 0;
  const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), count);
  if (ec == std::errc::result_out_of_range) return Error(text, "too long");
  if (ec != std::errc() || end != digits.data() + digits.size()) {
    return Error(text, "expected a number of seconds with an optional unit, or a list item");
  }
  if (count == 0) return Error(text, "must be above 0 (leave it out for a continuous test)");
  constexpr auto kMax = static_cast<std::uint64_t>(std::numeric_limits<int>::max());
  if (count > kMax / static_cast<std::uint64_t>(perUnit)) return Error(text, "too long");
  const int seconds = static_cast<int>(count * static_cast<std::uint64_t>(perUnit));
  return {seconds, ListIndexOf(seconds), {}};
}

}  // namespace linkwatch::cli
