#pragma once

#include <pty.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "base/unique_fd.h"

namespace linkwatch::testing {

// A pseudo-terminal standing in for a serial line: the test writes what the
// instrument would send into the master, and the port under test opens the
// slave by its path.
class PtyPair {
 public:
  PtyPair() {
    int master = -1;
    int slave = -1;
    std::array<char, 128> name{};
    if (::openpty(&master, &slave, name.data(), nullptr, nullptr) != 0) {
      throw std::runtime_error("openpty failed");
    }
    m_master = UniqueFd(master);
    m_slave = UniqueFd(slave);
    m_name = name.data();
  }

  const std::string& Name() const { return m_name; }
  // The test's own handle on the slave, to look at its settings and queue.
  int Slave() const { return m_slave.Get(); }

  // Writes bytes as the instrument would and waits until the slave's input
  // queue shows them: the tty hands them over a moment after the write.
  void Send(const std::vector<std::uint8_t>& bytes) {
    const int before = Queued();
    std::size_t done = 0;
    while (done < bytes.size()) {
      const ssize_t n = ::write(m_master.Get(), bytes.data() + done, bytes.size() - done);
      if (n <= 0) throw std::runtime_error("write to pty master failed");
      done += static_cast<std::size_t>(n);
    }
    WaitQueued(before + static_cast<int>(bytes.size()));
  }

  int Queued() const {
    int n = 0;
    if (!m_slave || ::ioctl(m_slave.Get(), TIOCINQ, &n) != 0) return -1;
    return n;
  }

  // Closing the master is what unplugging the adapter is to a real port.
  void CloseMaster() { m_master.Reset(); }
  void CloseSlave() { m_slave.Reset(); }

 private:
  void WaitQueued(int n) const {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (Queued() < n && std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  }

  UniqueFd m_master;
  UniqueFd m_slave;
  std::string m_name;
};

// The descriptors this process holds, to show that nothing leaks.
inline int OpenFds() {
  int n = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator("/proc/self/fd")) ++n;
  return n;
}

// Points a symlink at target, replacing the one there, as udev does for a
// /dev/serial/by-id/ name when the adapter comes back.
inline void Relink(const std::string& link, const std::string& target) {
  std::filesystem::remove(link);
  std::filesystem::create_symlink(target, link);
}

}  // namespace linkwatch::testing
