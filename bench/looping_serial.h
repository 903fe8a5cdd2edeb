#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "link/serial_link.h"

namespace linkwatch::bench {

// A port that always has `perPoll` bytes waiting, taken round and round from
// a fixed pattern, as if the instrument never stopped talking.
class LoopingSerial : public ISerialPort {
 public:
  LoopingSerial(std::vector<std::uint8_t> pattern, int perPoll)
      : m_pattern(std::move(pattern)), m_nPerPoll(perPoll) {}

  bool Open(int, int) override {
    m_bOpen = true;
    return true;
  }
  bool OpenDevice(const std::string&, int baud) override { return Open(0, baud); }
  bool Close() override {
    m_bOpen = false;
    return true;
  }
  int BytesWaiting() override {
    m_nLeft = m_bOpen ? m_nPerPoll : 0;
    return m_nLeft;
  }
  int Read(std::uint8_t* buffer, int max) override {
    int done = 0;
    const int want = std::min(max, m_nLeft);
    while (done < want) {
      const auto n =
          std::min<std::size_t>(static_cast<std::size_t>(want - done), m_pattern.size() - m_nAt);
      std::memcpy(buffer + done, m_pattern.data() + m_nAt, n);
      done += static_cast<int>(n);
      m_nAt = (m_nAt + n) % m_pattern.size();
    }
    m_nLeft -= done;
    m_nBytes += static_cast<std::uint64_t>(done);
    return done;
  }

  std::uint64_t BytesDelivered() const { return m_nBytes; }

 private:
  std::vector<std::uint8_t> m_pattern;
  int m_nPerPoll;
  int m_nLeft = 0;
  std::size_t m_nAt = 0;
  std::uint64_t m_nBytes = 0;
  bool m_bOpen = false;
};

}  // namespace linkwatch::bench
