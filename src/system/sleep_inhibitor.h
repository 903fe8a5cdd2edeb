#pragma once

#include <string>

#include "base/unique_fd.h"
#include "system/sleep_lock.h"

namespace linkwatch {

// Keeps the machine awake while a test runs: a logind "sleep" inhibitor lock,
// held as the file descriptor logind hands out and released by closing it.
// Where there is no system bus or no logind the lock is simply not taken; a
// test must run all the same.
class SleepInhibitor final : public ISleepLock {
 public:
  SleepInhibitor() = default;
  SleepInhibitor(const SleepInhibitor&) = delete;
  SleepInhibitor& operator=(const SleepInhibitor&) = delete;
  ~SleepInhibitor() override { Release(); }

  // Asks logind for the lock; true when it is held. Does nothing (and is
  // true) when it is held already. Waits at most a couple of seconds.
  bool Acquire() override;
  // Gives the lock back; does nothing when none is held.
  void Release() override { m_fd.Reset(); }
  bool Held() const override { return m_fd.Valid(); }

  // Why the last Acquire got no lock, with the system's reason; empty after
  // one that did.
  const std::string& LastError() const { return m_strError; }

 private:
  UniqueFd m_fd;
  std::string m_strError;
};

}  // namespace linkwatch
