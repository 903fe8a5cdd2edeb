#pragma once

#include <string>

namespace linkwatch {

// What a test needs of the machine around it: that it does not suspend while
// the test runs. The logind lock implements it for the programs; tests use a
// fake, so they never reach the system bus.
class ISleepLock {
 public:
  virtual ~ISleepLock() = default;

  // Takes the lock; true when it is held. Does nothing (and is true) when it
  // is held already. A lock that cannot be had must not stop a test.
  virtual bool Acquire() = 0;
  // Gives the lock back; does nothing when none is held.
  virtual void Release() = 0;
  virtual bool Held() const = 0;
};

// For a dialog that runs where suspending does not matter: never holds
// anything.
class NoSleepLock final : public ISleepLock {
 public:
  bool Acquire() override { return false; }
  void Release() override {}
  bool Held() const override { return false; }

  // One is enough for every dialog: it has no state.
  static NoSleepLock& Shared() {
    static NoSleepLock lock;
    return lock;
  }
};

}  // namespace linkwatch
