#include "output_sink.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>

namespace linkwatch::cli {

namespace {

// How long a full pipe or terminal may hold up a write before its text is
// dropped: a stalled reader must not stall the test's ticks.
constexpr int kStallMs = 1000;

}  // namespace

void FdSink::Write(std::string_view bytes) {
  while (!m_bBroken && !bytes.empty()) {
    const ssize_t n = ::write(m_fd, bytes.data(), bytes.size());
    if (n > 0) {
      bytes.remove_prefix(static_cast<std::size_t>(n));
    } else if (n < 0 && errno == EINTR) {
      continue;
    } else if (n < 0 && errno == EAGAIN) {
      pollfd pfd{m_fd, POLLOUT, 0};
      if (::poll(&pfd, 1, kStallMs) <= 0) return;
    } else {
      m_bBroken = true;
    }
  }
}

}  // namespace linkwatch::cli
