#include "frame_source.h"

namespace linkwatch::sim {

FrameSource::FrameSource(const SimOptions& options, std::uint64_t seed)
    : m_options(options), m_rng(seed) {}

std::uint32_t FrameSource::UpTo(std::uint32_t max) {
  if (max == 0) return 0;
  return std::uniform_int_distribution<std::uint32_t>(1, max)(m_rng);
}

std::uint8_t FrameSource::Payload() {
  return static_cast<std::uint8_t>(std::uniform_int_distribution<int>(0, 0x7F)(m_rng));
}

FrameCounts FrameSource::NextFields() {
  FrameCounts f;
  f.packets = m_options.packets;
  if (std::bernoulli_distribution(m_options.errorShare)(m_rng)) {
    // Draw until some count is non-zero (only an all-zero draw would make
    // it an error-free frame; at least one maximum is above 0 here).
    do {
      f.ucErr = UpTo(m_options.ucErrMax);
      f.cErr = UpTo(m_options.cErrMax);
      f.syncLoss = UpTo(m_options.syncLossMax);
    } while (!f.HasErrors());
  }
  return f;
}

StreamUnit FrameSource::Noise() {
  StreamUnit unit;
  if (std::bernoulli_distribution(0.5)(m_rng)) {
    // A truncated frame: a sync byte and fewer than 8 payload bytes.
    unit.bytes.push_back(static_cast<std::uint8_t>(0x80u | Payload()));
    const int n = std::uniform_int_distribution<int>(0, 7)(m_rng);
    for (int i = 0; i < n; ++i) unit.bytes.push_back(Payload());
  } else {
    const int n = std::uniform_int_distribution<int>(1, 8)(m_rng);
    for (int i = 0; i < n; ++i) unit.bytes.push_back(Payload());
  }
  return unit;
}

std::vector<StreamUnit> FrameSource::Next(bool allowNoise) {
  std::vector<StreamUnit> units;
  if (allowNoise && m_options.noise > 0.0 && std::bernoulli_distribution(m_options.noise)(m_rng)) {
    units.push_back(Noise());
  }
  const FrameCounts f = NextFields();
  const FrameBytes bytes = EncodeFrame(f, Payload());
  units.push_back({{bytes.begin(), bytes.end()}, f});
  return units;
}

}  // namespace linkwatch::sim
