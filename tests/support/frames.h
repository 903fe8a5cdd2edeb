#pragma once

#include <cstdint>
#include <vector>

#include "acquire/frame_decoder.h"

namespace linkwatch::testing {

// The 9 wire bytes of a frame with the given counts.
inline std::vector<std::uint8_t> EncodeFrame(const FrameCounts& c) {
  return {
      static_cast<std::uint8_t>(0x80 | ((c.cErr >> 14) & 0x0F)),
      static_cast<std::uint8_t>((c.cErr >> 7) & 0x7F),
      static_cast<std::uint8_t>(c.cErr & 0x7F),
      static_cast<std::uint8_t>((c.ucErr >> 7) & 0x7F),
      static_cast<std::uint8_t>(c.ucErr & 0x7F),
      static_cast<std::uint8_t>(((c.ucErr >> 12) & 0x0C) | ((c.packets >> 14) & 0x03)),
      static_cast<std::uint8_t>((c.packets >> 7) & 0x7F),
      static_cast<std::uint8_t>(c.packets & 0x7F),
      static_cast<std::uint8_t>(c.syncLoss & 0x0F),
  };
}

inline std::vector<std::uint8_t> Concat(std::initializer_list<std::vector<std::uint8_t>> parts) {
  std::vector<std::uint8_t> out;
  for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

}  // namespace linkwatch::testing
