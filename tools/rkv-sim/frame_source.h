#pragma once

#include <cstdint>
#include <optional>
#include <random>
#include <vector>

#include "frame_encoder.h"
#include "sim_options.h"

namespace linkwatch::sim {

// A piece of the byte stream: one frame, or noise that a receiver drops.
struct StreamUnit {
  std::vector<std::uint8_t> bytes;
  std::optional<FrameCounts> frame;  // empty for noise
};

// Draws frames and noise as the options ask, repeatably for a given seed.
class FrameSource {
 public:
  FrameSource(const SimOptions& options, std::uint64_t seed);

  // The next frame, preceded by a noise unit for the --noise share of frames.
  // Noise always comes right before a frame: its sync byte ends a truncated
  // frame, and stray bytes after a complete frame are ignored, so noise can
  // never add up to a frame of its own.
  std::vector<StreamUnit> Next(bool allowNoise = true);

  FrameCounts NextFields();

 private:
  StreamUnit Noise();
  std::uint32_t UpTo(std::uint32_t max);  // 1..max, 0 when max is 0
  std::uint8_t Payload();                 // a byte with bit 7 clear

  SimOptions m_options;
  std::mt19937_64 m_rng;
};

}  // namespace linkwatch::sim
