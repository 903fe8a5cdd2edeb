#include "app/termination_signals.h"

#include <fcntl.h>
#include <unistd.h>

#include <QSocketNotifier>

#include <atomic>
#include <cerrno>

#include "base/sys_error.h"

namespace linkwatch {

namespace {

// The pipe's write end for the handler; -1 while nobody listens.
std::atomic<int> g_signalPipe{-1};
static_assert(std::atomic<int>::is_always_lock_free, "the handler may only touch lock-free state");

extern "C" void OnTerminationSignal(int signo) {
  const int savedErrno = errno;
  const int fd = g_signalPipe.load();
  if (fd >= 0) {
    const unsigned char byte = static_cast<unsigned char>(signo);
    // A full pipe already holds enough to end the program.
    [[maybe_unused]] const ssize_t n = ::write(fd, &byte, 1);
  }
  errno = savedErrno;
}

}  // namespace

TerminationSignals::TerminationSignals() {
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) {
    m_strError = "Cannot watch for termination signals: " + SysErrorText(errno) + ".";
    return;
  }
  m_read = UniqueFd(fds[0]);
  m_write = UniqueFd(fds[1]);
  int expected = -1;
  if (!g_signalPipe.compare_exchange_strong(expected, m_write.Get())) {
    m_strError = "Termination signals are already watched.";
    m_read.Reset();
    m_write.Reset();
    return;
  }
  struct sigaction action {};
  action.sa_handler = OnTerminationSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (std::size_t i = 0; i < kSignals.size(); ++i) {
    struct sigaction now {};
    if (::sigaction(kSignals[i], nullptr, &now) == 0 && now.sa_handler == SIG_IGN) continue;
    if (::sigaction(kSignals[i], &action, &m_previous[i]) != 0) {
      m_strError = "Cannot watch for termination signals: " + SysErrorText(errno) + ".";
      Restore();
      return;
    }
    m_installed[i] = true;
  }
}

TerminationSignals::~TerminationSignals() {
  m_notifier.reset();
  Restore();
}

void TerminationSignals::Restore() {
  for (std::size_t i = kSignals.size(); i-- > 0;) {
    if (m_installed[i]) ::sigaction(kSignals[i], &m_previous[i], nullptr);
    m_installed[i] = false;
  }
  if (m_write.Valid()) {
    int mine = m_write.Get();
    g_signalPipe.compare_exchange_strong(mine, -1);
  }
  m_write.Reset();
  m_read.Reset();
}

void TerminationSignals::Watch(std::function<void(int)> onSignal) {
  m_onSignal = std::move(onSignal);
  if (!m_read.Valid()) return;
  if (!m_notifier) {
    if (!m_onSignal) return;
    m_notifier = std::make_unique<QSocketNotifier>(m_read.Get(), QSocketNotifier::Read);
    QObject::connect(m_notifier.get(), &QSocketNotifier::activated, [this] { Drain(); });
  }
  // Only switched off, never deleted here: this may run inside its own call.
  m_notifier->setEnabled(static_cast<bool>(m_onSignal));
}

void TerminationSignals::Drain() {
  unsigned char buffer[16];
  for (;;) {
    const ssize_t n = ::read(m_read.Get(), buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;  // empty for now (EAGAIN)
    for (ssize_t i = 0; i < n; ++i) {
      if (m_onSignal) m_onSignal(buffer[i]);
    }
  }
}

}  // namespace linkwatch
