#pragma once

#include <signal.h>

#include <array>
#include <functional>
#include <memory>
#include <string>

#include "base/unique_fd.h"

class QSocketNotifier;

namespace linkwatch {

// Turns SIGTERM, SIGINT and SIGHUP into calls on the event loop, so that a
// program told to end can stop its test and close its log first. A signal
// that arrives before Watch is kept and reported once watching starts. A
// signal ignored when the object is made stays ignored (nohup, a service
// manager). One object at a time; the signals' previous handling returns when
// it goes.
class TerminationSignals {
 public:
  TerminationSignals();
  TerminationSignals(const TerminationSignals&) = delete;
  TerminationSignals& operator=(const TerminationSignals&) = delete;
  ~TerminationSignals();

  // Why the signals could not be caught, with the system's reason; empty
  // when they are.
  const std::string& Error() const { return m_strError; }

  // Calls onSignal(signal number) from the event loop for every signal
  // caught; an empty function stops it. Needs a QCoreApplication.
  void Watch(std::function<void(int)> onSignal);

 private:
  void Drain();
  void Restore();

  static constexpr std::array<int, 3> kSignals{SIGTERM, SIGINT, SIGHUP};

  UniqueFd m_read;
  UniqueFd m_write;
  std::array<struct sigaction, kSignals.size()> m_previous{};
  std::array<bool, kSignals.size()> m_installed{};
  std::string m_strError;
  std::unique_ptr<QSocketNotifier> m_notifier;
  std::function<void(int)> m_onSignal;
};

}  // namespace linkwatch
