#pragma once

#include <cstdint>
#include <optional>

namespace linkwatch {

// The four counts of one 9-byte RKV-3520 frame.
struct FrameCounts {
  std::uint32_t packets = 0;
  std::uint32_t ucErr = 0;
  std::uint32_t cErr = 0;
  std::uint32_t syncLoss = 0;

  bool HasErrors() const { return ucErr != 0 || cErr != 0 || syncLoss != 0; }
  friend bool operator==(const FrameCounts&, const FrameCounts&) = default;
};

// Reassembles frames one byte at a time. The frame position and the partial
// fields survive from one call to the next, so a frame whose bytes arrive in
// two polls is still decoded. It starts idle: bytes before the first sync byte
// are ignored.
class FrameDecoder {
 public:
  // Returns the frame's counts when this byte is the 9th byte of a frame.
  std::optional<FrameCounts> Feed(std::uint8_t b) {
    if ((b & 0x80u) != 0) {
      m_nPos = 0;  // a sync byte always starts a new frame; an unfinished one is dropped
      m_partial = {};
    }
    switch (m_nPos) {
      case 0: m_partial.cErr = (b & 0x0Fu) * 16384u; break;
      case 1: m_partial.cErr += b * 128u; break;
      case 2: m_partial.cErr += b; break;
      case 3: m_partial.ucErr = b * 128u; break;
      case 4: m_partial.ucErr += b; break;
      case 5:
        m_partial.packets = (b & 0x03u) * 16384u;
        m_partial.ucErr += (b & 0x0Cu) * 4096u;
        break;
      case 6: m_partial.packets += b * 128u; break;
      case 7: m_partial.packets += b; break;
      case 8: m_partial.syncLoss = b & 0x0Fu; break;
      default: break;
    }
    if (m_nPos < kIdle) ++m_nPos;
    if (m_nPos == kComplete) return m_partial;
    return std::nullopt;
  }

 private:
  static constexpr unsigned kComplete = 9;
  static constexpr unsigned kIdle = 10;  // after a frame, or before the first sync byte

  unsigned m_nPos = kIdle;
  FrameCounts m_partial{};
};

}  // namespace linkwatch
