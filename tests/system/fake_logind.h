#pragma once

#include <systemd/sd-bus.h>

#include <array>
#include <atomic>
#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "base/unique_fd.h"

namespace linkwatch::testing {

// A bus daemon of the test's own, listening at a path in dir.
class PrivateBus {
 public:
  explicit PrivateBus(const std::string& dir);
  PrivateBus(const PrivateBus&) = delete;
  PrivateBus& operator=(const PrivateBus&) = delete;
  ~PrivateBus();
  // The bus's address; empty when the daemon could not be started.
  const std::string& Address() const { return m_address; }

 private:
  pid_t m_pid = -1;
  std::string m_address;
};

// A stand-in for logind on a bus: it owns org.freedesktop.login1 and answers
// Manager.Inhibit with the write end of a pipe, keeping the read end, so a
// test can see whether the lock it handed out is still held.
class FakeLogind {
 public:
  explicit FakeLogind(const std::string& address);
  FakeLogind(const FakeLogind&) = delete;
  FakeLogind& operator=(const FakeLogind&) = delete;
  ~FakeLogind();

  bool Serving() const { return m_bServing; }
  // The arguments of every Inhibit call so far.
  std::vector<std::array<std::string, 4>> Calls();
  // Locks handed out whose holder still has them; waits up to timeout for
  // that count to drop to expected.
  int HeldLocks(int expected, std::chrono::milliseconds timeout);

 private:
  static int OnInhibit(sd_bus_message* m, void* self, sd_bus_error* error);
  void Serve(sd_bus* bus);

  std::mutex m_mutex;
  std::vector<std::array<std::string, 4>> m_calls;
  std::vector<UniqueFd> m_readEnds;
  std::atomic<bool> m_bStop{false};
  std::atomic<bool> m_bServing{false};
  std::thread m_thread;
};

}  // namespace linkwatch::testing
