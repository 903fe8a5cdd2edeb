#include "tick_timer.h"

#include <sys/timerfd.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>

namespace linkwatch::cli {

int TickTimer::Start(int milliseconds) {
  UniqueFd fd(::timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC));
  if (!fd) return errno;
  itimerspec spec{};
  spec.it_interval.tv_sec = milliseconds / 1000;
  spec.it_interval.tv_nsec = static_cast<long>(milliseconds % 1000) * 1'000'000L;
  spec.it_value = spec.it_interval;
  if (::timerfd_settime(fd.Get(), 0, &spec, nullptr) != 0) return errno;
  m_fd = std::move(fd);
  return 0;
}

std::uint64_t TickTimer::Take() {
  if (!m_fd) return 0;
  std::uint64_t expiries = 0;
  for (;;) {
    const ssize_t n = ::read(m_fd.Get(), &expiries, sizeof expiries);
    if (n == static_cast<ssize_t>(sizeof expiries)) return expiries;
    if (n < 0 && errno == EINTR) continue;
    return 0;
  }
}

}  // namespace linkwatch::cli
