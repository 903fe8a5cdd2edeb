#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "acquire/frame_decoder.h"

namespace linkwatch::sim {

// The widths of the four counts of a frame.
inline constexpr std::uint32_t kMaxCErr = (1u << 18) - 1;
inline constexpr std::uint32_t kMaxUcErr = (1u << 16) - 1;
inline constexpr std::uint32_t kMaxPackets = (1u << 16) - 1;
inline constexpr std::uint32_t kMaxSyncLoss = (1u << 4) - 1;
inline constexpr std::size_t kFrameSize = 9;

using FrameBytes = std::array<std::uint8_t, kFrameSize>;

// The 9 wire bytes of a frame: a sync byte with bit 7 set, then 8 bytes with
// bit 7 clear, 7 payload bits each. Counts wider than their field are cut to
// it. filler goes into the bits that the instrument leaves unused (bits 6-4
// of bytes 0, 5 and 8), which a receiver must ignore.
constexpr FrameBytes EncodeFrame(const FrameCounts& f, std::uint8_t filler = 0) {
  const std::uint32_t cErr = f.cErr & kMaxCErr;
  const std::uint32_t ucErr = f.ucErr & kMaxUcErr;
  const std::uint32_t packets = f.packets & kMaxPackets;
  const auto unused = static_cast<std::uint8_t>(filler & 0x70u);
  const auto b7 = [](std::uint32_t v) { return static_cast<std::uint8_t>(v & 0x7Fu); };
  return {
      static_cast<std::uint8_t>(0x80u | unused | (cErr >> 14)),
      b7(cErr >> 7),
      b7(cErr),
      b7(ucErr >> 7),
      b7(ucErr),
      static_cast<std::uint8_t>(unused | ((ucErr >> 14) << 2) | (packets >> 14)),
      b7(packets >> 7),
      b7(packets),
      static_cast<std::uint8_t>(unused | (f.syncLoss & kMaxSyncLoss)),
  };
}

// The same bytes as a vector, to join with others.
inline std::vector<std::uint8_t> FrameVector(const FrameCounts& f, std::uint8_t filler = 0) {
  const FrameBytes bytes = EncodeFrame(f, filler);
  return {bytes.begin(), bytes.end()};
}

}  // namespace linkwatch::sim
