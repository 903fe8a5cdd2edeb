#include "signal_watch.h"

#include <sys/signalfd.h>
#include <unistd.h>

#include <cerrno>

#include "base/sys_error.h"

namespace linkwatch::cli {

SignalWatch::SignalWatch() {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGINT);
  sigaddset(&set, SIGTERM);
  sigaddset(&set, SIGHUP);
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
