#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace linkwatch {

// The serial line during one tick: bytes came (up), none came but no loss has
// been declared yet (quiet), or the line has been reported lost.
enum class LineStatus : std::uint8_t { Up, Quiet, Lost };

std::string_view LineStatusName(LineStatus s);
std::optional<LineStatus> ParseLineStatus(std::string_view text);

// What one tick of a running test saw: its calendar time and the counts of the
// frames decoded in it.
struct SecondRecord {
  std::int64_t time = 0;  // seconds since the epoch
  std::uint64_t packets = 0;
  std::uint64_t ucErr = 0;
  std::uint64_t cErr = 0;
  std::uint64_t syncLoss = 0;
  std::uint64_t frames = 0;
  LineStatus line = LineStatus::Up;

  friend bool operator==(const SecondRecord&, const SecondRecord&) = default;
};

}  // namespace linkwatch
