#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace linkwatch {

// The receive ring between the link poll (the only writer) and the frame
// decoder (the only reader). Equal read and write positions mean empty, so it
// holds at most kRxRingSize - 1 unread bytes.
inline constexpr std::size_t kRxRingSize = 64;
inline constexpr int kRxRingCapacity = static_cast<int>(kRxRingSize) - 1;

using RxRing = std::array<std::uint8_t, kRxRingSize>;

// Position of p within ring (0 to kRxRingSize - 1).
inline int RingPos(const RxRing& ring, const std::uint8_t* p) {
  return static_cast<int>(p - ring.data());
}

// p moved on by n bytes, wrapping from the last byte to the first.
inline std::uint8_t* RingAdvance(RxRing& ring, std::uint8_t* p, int n) {
  const auto pos = static_cast<std::size_t>(RingPos(ring, p) + n) % kRxRingSize;
  return ring.data() + pos;
}

// Unread bytes between the read and the write position.
inline int RingUsed(const RxRing& ring, const std::uint8_t* pRead, const std::uint8_t* pWrite) {
  const int diff = RingPos(ring, pWrite) - RingPos(ring, pRead);
  return diff >= 0 ? diff : diff + static_cast<int>(kRxRingSize);
}

}  // namespace linkwatch
