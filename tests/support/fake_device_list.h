#pragma once

#include <sys/eventfd.h>
#include <unistd.h>

#include <cstdint>
#include <string>
#include <vector>

#include "base/unique_fd.h"
#include "link/device_list.h"

namespace linkwatch::testing {

// Serial devices that the test plugs in and pulls out. Each change makes the
// change descriptor readable, as a device monitor's would.
class FakeDeviceList : public IDeviceList {
 public:
  FakeDeviceList() : m_fd(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {}

  std::vector<std::string> Devices() override {
    ++listings;
    return devices;
  }
  int ChangeFd() const override { return m_fd.Get(); }
  bool TakeChanges() override {
    std::uint64_t count = 0;
    return ::read(m_fd.Get(), &count, sizeof count) == sizeof count && count != 0;
  }

  // Replaces the devices present and reports the change.
  void Set(std::vector<std::string> now) {
    devices = std::move(now);
    const std::uint64_t one = 1;
    (void)!::write(m_fd.Get(), &one, sizeof one);
  }

  std::vector<std::string> devices;
  int listings = 0;

 private:
  UniqueFd m_fd;
};

}  // namespace linkwatch::testing
