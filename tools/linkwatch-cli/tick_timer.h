#pragma once

#include <cstdint>
#include <string>

#include "base/unique_fd.h"

namespace linkwatch::cli {

// A periodic tick on the monotonic clock, readable on a descriptor. Each
// expiry is a fixed period after the one before, however late it is read,
// so ticks never drift; several that were missed are read as one.
class TickTimer {
 public:
  // Starts it: the first tick one period from now. Returns 0 or the errno.
  int Start(int milliseconds);
  void Stop() { m_fd.Reset(); }
  bool Running() const { return m_fd.Valid(); }
  int Fd() const { return m_fd.Get(); }
  // The ticks due since the last call; 0 when none is.
  std::uint64_t Take();

 private:
  UniqueFd m_fd;
};

}  // namespace linkwatch::cli
