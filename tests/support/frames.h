#pragma once

#include <cstdint>
#include <vector>

#include "acquire/frame_decoder.h"
#include "frame_encoder.h"

namespace linkwatch::testing {

// The 9 wire bytes of a frame with the given counts, as the simulator sends
// them.
inline std::vector<std::uint8_t> EncodeFrame(const FrameCounts& c) {
  return sim::FrameVector(c);
}

inline std::vector<std::uint8_t> Concat(std::initializer_list<std::vector<std::uint8_t>> parts) {
  std::vector<std::uint8_t> out;
  for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

}  // namespace linkwatch::testing
