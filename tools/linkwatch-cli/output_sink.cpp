#include "output_sink.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>

namespace linkwatch::cli {

namespace {

// One write that never waits, also on a descriptor opened blocking. The
// flag belongs to the open file, which a shell or another program in the
// pipeline may share, so it is set only for the write and put back at once.
ssize_t WriteWithoutWaiting(int fd, std::string_view bytes) {
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags < 0) return -1;
  const bool toggle = (flags & O_NONBLOCK) == 0;
  if (toggle && ::fcntl(fd, F_SETFL, flags | O_NONBLOCK) != 0) return -1;
  ssize_t n;
  do {
    n = ::write(fd, bytes.data(), bytes.size());
  } while (n < 0 && errno == EINTR);
  const int saved = errno;
  if (toggle) ::fcntl(fd, F_SETFL, flags);
  errno = saved;
  return n;
}

}  // namespace

void FdSink::Flush() {
  while (!m_bBroken && !m_queue.empty()) {
    const ssize_t n = WriteWithoutWaiting(m_fd, m_queue);
    if (n > 0) {
      m_queue.erase(0, static_cast<std::size_t>(n));
    } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      return;
    } else {
      m_bBroken = true;
      m_queue.clear();
    }
  }
}

void FdSink::Accept(std::string_view bytes) {
  if (m_nSkipped != 0) {
    std::string note;
    if (m_cLast != '\n') note += '\n';
    note += "... " + std::to_string(m_nSkipped) + " " + m_strWhat + (m_nSkipped == 1 ? "" : "s") +
            " not shown";
    if (bytes.front() != '\n') note += '\n';
    m_queue += note;
    m_nSkipped = 0;
  }
  m_queue.append(bytes);
  m_cLast = bytes.back();
}

void FdSink::Write(std::string_view bytes) {
  if (m_bBroken || bytes.empty()) return;
  Flush();
  // Once a text has been skipped, later ones are too until the queue has
  // drained, so the note stands exactly where the gap is.
  if (m_bBroken) return;
  if ((m_nSkipped != 0 && !m_queue.empty()) || m_queue.size() + bytes.size() > m_nQueueLimit) {
    // A bare line break is no row; the note brings its own.
    if (bytes.find_first_not_of('\n') != std::string_view::npos) ++m_nSkipped;
    return;
  }
  Accept(bytes);
  Flush();
}

void FdSink::WriteIfIdle(std::string_view bytes) {
  if (m_bBroken || bytes.empty()) return;
  Flush();
  if (!m_queue.empty() || m_nSkipped != 0) return;
  const ssize_t n = WriteWithoutWaiting(m_fd, bytes);
  if (n < 0) {
    if (errno != EAGAIN && errno != EWOULDBLOCK) m_bBroken = true;
    return;
  }
  // Begun is finished: half a terminal control sequence would garble what
  // follows.
  if (static_cast<std::size_t>(n) < bytes.size()) m_queue.append(bytes.substr(n));
  m_cLast = bytes.back();
}

void FdSink::Drain(std::chrono::milliseconds stall) {
  Flush();
  // The note about the last skipped texts, once there is room for it.
  if (m_queue.empty() && m_nSkipped != 0) Write("\n");
  while (Pending()) {
    pollfd pfd{m_fd, POLLOUT, 0};
    const int ready = ::poll(&pfd, 1, static_cast<int>(stall.count()));
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) return;
    const std::size_t before = m_queue.size();
    Flush();
    // Writable but taking nothing (a hung-up terminal says POLLHUP): give up.
    if (m_queue.size() == before) return;
    if (m_queue.empty() && m_nSkipped != 0) Write("\n");
  }
}

}  // namespace linkwatch::cli
