#pragma once

#include "system/sleep_lock.h"

namespace linkwatch::testing {

// A sleep lock that counts what was asked of it.
class FakeSleepLock : public ISleepLock {
 public:
  bool Acquire() override {
    ++acquires;
    held = true;
    return true;
  }
  void Release() override {
    if (held) ++releases;
    held = false;
  }
  bool Held() const override { return held; }

  bool held = false;
  int acquires = 0;
  int releases = 0;
};

}  // namespace linkwatch::testing
