#include "frame_stream.h"

#include <random>

#include "frame_encoder.h"

namespace linkwatch::bench {

namespace {

// Pieces of the line: a frame, or with the given odds noise instead; 5 in 8
// noise pieces are bytes with bit 7 clear, as trail a frame, the rest any bytes.
std::vector<std::uint8_t> Line(std::size_t size, int noisePercent) {
  std::mt19937 rng(3520);
  std::uniform_int_distribution<int> percent(0, 99);
  std::uniform_int_distribution<std::uint32_t> count(0, 65535);
  std::uniform_int_distribution<int> byte(0, 255);
  std::vector<std::uint8_t> out;
  out.reserve(size + 16);
  while (out.size() < size) {
    const int kind = percent(rng);
    if (kind >= noisePercent) {
      FrameCounts c{count(rng), 0, 0, 0};
      if (percent(rng) < 5) {
        c.ucErr = count(rng) % 8;
        c.cErr = 1 + count(rng) % 64;
        c.syncLoss = count(rng) % 2;
      }
      const auto frame = sim::EncodeFrame(c);
      out.insert(out.end(), frame.begin(), frame.end());
    } else if (kind < noisePercent * 5 / 8) {
      for (int i = 1 + percent(rng) % 4; i > 0; --i) {
        out.push_back(static_cast<std::uint8_t>(byte(rng) & 0x7F));
      }
    } else {
      for (int i = 1 + percent(rng) % 3; i > 0; --i) {
        out.push_back(static_cast<std::uint8_t>(byte(rng)));
      }
    }
  }
  out.resize(size);
  return out;
}

}  // namespace

std::vector<std::uint8_t> TypicalLine(std::size_t size) {
  return Line(size, 8);
}

std::vector<std::uint8_t> CleanLine(std::size_t size) {
  return Line(size, 0);
}

std::vector<std::uint8_t> ErrorFrames(std::size_t n) {
  std::vector<std::uint8_t> out;
  out.reserve(n * FrameDecoder::kFrameBytes);
  for (std::size_t i = 0; i < n; ++i) {
    const auto k = static_cast<std::uint32_t>(i);
    const auto frame = sim::EncodeFrame({1000 + k % 500, k % 3, 1 + k % 40, k % 2});
    out.insert(out.end(), frame.begin(), frame.end());
  }
  return out;
}

}  // namespace linkwatch::bench
