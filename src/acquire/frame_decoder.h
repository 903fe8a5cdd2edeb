#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <type_traits>

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
  static constexpr std::size_t kFrameBytes = 9;

  // Returns the frame's counts when this byte is the 9th byte of a frame.
  std::optional<FrameCounts> Feed(std::uint8_t b) {
    if ((b & 0x80u) != 0) {
      m_nPos = 0;  // a sync byte always starts a new frame; an unfinished one is dropped
      m_partial = {};
    }
    switch (m_nPos) {
      case 0:
        m_partial.cErr = (b & 0x0Fu) * 16384u;
        break;
      case 1:
        m_partial.cErr += b * 128u;
        break;
      case 2:
        m_partial.cErr += b;
        break;
      case 3:
        m_partial.ucErr = b * 128u;
        break;
      case 4:
        m_partial.ucErr += b;
        break;
      case 5:
        m_partial.packets = (b & 0x03u) * 16384u;
        m_partial.ucErr += (b & 0x0Cu) * 4096u;
        break;
      case 6:
        m_partial.packets += b * 128u;
        break;
      case 7:
        m_partial.packets += b;
        break;
      case 8:
        m_partial.syncLoss = b & 0x0Fu;
        break;
      default:
        break;
    }
    if (m_nPos < kIdle) ++m_nPos;
    if (m_nPos == kComplete) return m_partial;
    return std::nullopt;
  }

  // Decodes n bytes from p: the same frames, in the same order, and the same
  // state afterwards as Feed on each byte. onFrame runs for each completed
  // frame before the next byte is looked at, with the decoder already past
  // that frame, so it may use or even feed the decoder. It is called as
  // onFrame(counts, end) when it takes the offset just past the frame's last
  // byte in this block, else as onFrame(counts).
  template <class OnFrame>
  void FeedBlock(const std::uint8_t* p, std::size_t n, OnFrame&& onFrame) {
    const std::uint8_t* const begin = p;
    const std::uint8_t* const end = p + n;
    const auto report = [&](const FrameCounts& counts) {
      if constexpr (std::is_invocable_v<OnFrame&, const FrameCounts&, std::size_t>) {
        onFrame(counts, static_cast<std::size_t>(p - begin));
      } else {
        onFrame(counts);
      }
    };
    while (p != end) {
      const std::uint8_t b = *p;
      if ((b & 0x80u) != 0) {
        if (static_cast<std::size_t>(end - p) >= kFrameBytes && PayloadClear(p + 1)) {
          // A whole frame in one go; Feed would leave exactly this state.
          m_partial = Unpack(p);
          m_nPos = kComplete;
          p += kFrameBytes;
          const FrameCounts counts = m_partial;
          report(counts);
          continue;
        }
      } else if (m_nPos >= kComplete) {
        // Between frames: nothing but a sync byte matters, so skip to it.
        m_nPos = kIdle;
        p = SkipToSync(p + 1, end);
        continue;
      }
      ++p;
      if (const auto counts = Feed(b)) report(*counts);
    }
  }

  friend bool operator==(const FrameDecoder&, const FrameDecoder&) = default;

 private:
  static constexpr unsigned kComplete = 9;
  static constexpr unsigned kIdle = 10;  // after a frame, or before the first sync byte
  static constexpr std::uint64_t kHighBits = 0x8080808080808080u;

  // True when none of the 8 bytes from p has bit 7 set.
  static bool PayloadClear(const std::uint8_t* p) {
    std::uint64_t word;
    std::memcpy(&word, p, sizeof word);
    return (word & kHighBits) == 0;
  }

  // The counts of the 9 bytes from p, a sync byte and 8 payload bytes.
  static FrameCounts Unpack(const std::uint8_t* p) {
    FrameCounts c;
    c.cErr = (p[0] & 0x0Fu) << 14 | unsigned{p[1]} << 7 | p[2];
    c.ucErr = (p[5] & 0x0Cu) << 12 | unsigned{p[3]} << 7 | p[4];
    c.packets = (p[5] & 0x03u) << 14 | unsigned{p[6]} << 7 | p[7];
    c.syncLoss = p[8] & 0x0Fu;
    return c;
  }

  // The first byte from p with bit 7 set, or end.
  static const std::uint8_t* SkipToSync(const std::uint8_t* p, const std::uint8_t* end) {
    while (static_cast<std::size_t>(end - p) >= sizeof(std::uint64_t) && PayloadClear(p)) {
      p += sizeof(std::uint64_t);
    }
    while (p != end && (*p & 0x80u) == 0) ++p;
    return p;
  }

  unsigned m_nPos = kIdle;
  FrameCounts m_partial{};
};

}  // namespace linkwatch
