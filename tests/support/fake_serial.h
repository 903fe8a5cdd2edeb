#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "link/serial_link.h"

namespace linkwatch::testing {

// A serial port whose input queue the test fills. Records every read.
class FakeSerial : public ISerialPort {
 public:
  bool Open(int port, int baud) override {
    if (opened) return true;
    if (failOpen) return false;
    opened = true;
    openedPort = port;
    openedDevice.clear();
    openedBaud = baud;
    ++opens;
    return true;
  }
  bool OpenDevice(const std::string& path, int baud) override {
    if (opened) return true;
    if (failOpen) return false;
    const bool ok = Open(0, baud);
    openedDevice = path;
    return ok;
  }
  bool Close() override {
    opened = false;
    return true;
  }
  int BytesWaiting() override {
    if (onBytesWaiting) onBytesWaiting();
    return opened ? static_cast<int>(queue.size()) : 0;
  }
  int Read(std::uint8_t* buffer, int max) override {
    reads.push_back(max);
    if (!opened) return 0;
    int n = std::min<int>(max, static_cast<int>(queue.size()));
    if (shortReadBy > 0) n = std::max(0, n - shortReadBy);
    for (int i = 0; i < n; ++i) {
      buffer[i] = queue.front();
      queue.pop_front();
    }
    return n;
  }
  SerialFailure LastFailure() const override { return failure; }

  void Push(const std::vector<std::uint8_t>& bytes) {
    queue.insert(queue.end(), bytes.begin(), bytes.end());
  }

  bool opened = false;
  bool failOpen = false;
  int openedPort = 0;        // 0 when a device was opened by path
  std::string openedDevice;  // the path of the last OpenDevice
  int openedBaud = 0;
  int opens = 0;
  int shortReadBy = 0;  // every read delivers this many bytes fewer than it could
  SerialFailure failure;
  std::deque<std::uint8_t> queue;
  std::vector<int> reads;  // the max of every Read call
  std::function<void()> onBytesWaiting;
};

}  // namespace linkwatch::testing
