#include "signal_watch.h"

#include <sys/signalfd.h>
#include <unistd.h>

#include <cerrno>

#include "base/sys_error.h"

namespace linkwatch::cli {

namespace {

// A signal ignored at start was ignored on purpose (nohup ignores the
// hang-up of a closing session): it is left ignored, not watched.
bool IgnoredAtStart(int signo) {
  struct sigaction now {};
  return ::sigaction(signo, nullptr, &now) == 0 && now.sa_handler == SIG_IGN;
}

}  // namespace

SignalWatch::SignalWatch() {
  sigset_t set;
  sigemptyset(&set);
  for (const int signo : {SIGINT, SIGTERM, SIGHUP}) {
    if (!IgnoredAtStart(signo)) sigaddset(&set, signo);
  }
  if (::sigprocmask(SIG_BLOCK, &set, &m_previous) != 0) {
    m_strError = "cannot block the stop signals: " + SysErrorText(errno);
    return;
  }
  m_bBlocked = true;
  m_fd = UniqueFd(::signalfd(-1, &set, SFD_NONBLOCK | SFD_CLOEXEC));
  if (!m_fd) m_strError = "cannot watch the stop signals: " + SysErrorText(errno);
}

SignalWatch::~SignalWatch() {
  if (m_bBlocked) ::sigprocmask(SIG_SETMASK, &m_previous, nullptr);
}

int SignalWatch::Take() {
  if (!m_fd) return 0;
  signalfd_siginfo info{};
  for (;;) {
    const ssize_t n = ::read(m_fd.Get(), &info, sizeof info);
    if (n == static_cast<ssize_t>(sizeof info)) return static_cast<int>(info.ssi_signo);
    if (n < 0 && errno == EINTR) continue;
    return 0;
  }
}

}  // namespace linkwatch::cli
