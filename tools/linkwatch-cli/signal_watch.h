#pragma once

#include <signal.h>

#include <string>

#include "base/unique_fd.h"

namespace linkwatch::cli {

// SIGINT, SIGTERM and SIGHUP as readable events on a descriptor instead of
// their default action, so that the main loop can stop the test and close
// its log in its own time: no work is ever done in a signal handler. A signal
// sent before the loop looks is kept until it does. A signal that was
// ignored when the object was made stays ignored. The mask is restored when
// the object goes.
class SignalWatch {
 public:
  SignalWatch();
  SignalWatch(const SignalWatch&) = delete;
  SignalWatch& operator=(const SignalWatch&) = delete;
  ~SignalWatch();

  // Why the signals could not be watched, with the system's reason; empty
  // when they are.
  const std::string& Error() const { return m_strError; }
  int Fd() const { return m_fd.Get(); }
  // The number of the next signal waiting, or 0 when none is.
  int Take();

 private:
  sigset_t m_previous{};
  bool m_bBlocked = false;
  UniqueFd m_fd;
  std::string m_strError;
};

}  // namespace linkwatch::cli
