#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "link/baud_rate.h"
#include "link/raw_tty.h"
#include "link/serial_errno.h"
#include "link/serial_port.h"

namespace linkwatch {

CSerialPort::~CSerialPort() {
  Close();
}

bool CSerialPort::Open(int port, int baud) {
  return OpenDevice(DevicePath(port), baud);
}

bool CSerialPort::OpenDevice(const std::string& path, int baud) {
  if (m_bOpened) return true;
  m_failure = {};
  const std::optional<speed_t> speed = BaudToSpeed(baud);
  RawTty tty;
  if (path.empty()) {
    tty.err = ENOENT;
  } else if (!speed) {
    tty.err = EINVAL;
  } else {
    tty = OpenRawTty(path, *speed);
  }
  if (!tty.fd) {
    m_failure = {SerialErrorFromErrno(tty.err), tty.err, path};
    return false;
  }
  m_fd = std::move(tty.fd);
  m_strDevice = path;
  m_speed = *speed;
  m_bOpened = true;
  return true;
}

bool CSerialPort::Close() {
  if (!m_bOpened) return true;
  CloseRawTty(m_fd);
  m_bOpened = false;
  m_strDevice.clear();
  return true;
}

void CSerialPort::DropDevice() {
  CloseRawTty(m_fd);
}

bool CSerialPort::Reopen() {
  RawTty tty = OpenRawTty(m_strDevice, m_speed);
  if (!tty.fd) return false;
  m_fd = std::move(tty.fd);
  return true;
}

int CSerialPort::QueuedBytes() {
  int n = 0;
  if (::ioctl(m_fd.Get(), TIOCINQ, &n) != 0) {
    if (IsDeviceGone(errno)) DropDevice();
    return 0;
  }
  return std::max(n, 0);
}

bool CSerialPort::HungUp() const {
  pollfd pfd{m_fd.Get(), POLLIN, 0};
  return ::poll(&pfd, 1, 0) > 0 && (pfd.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
}

int CSerialPort::BytesWaiting() {
  if (!m_bOpened) return 0;
  // One attempt per call: the caller polls once a tick, so a device that
  // stays away costs one failed open a tick, never a loop.
  if (!m_fd && !Reopen()) return 0;
  const int n = QueuedBytes();
  // A hung-up tty reports an empty queue; bytes still queued are delivered
  // first, and the hang-up is seen on the next empty tick.
  if (n == 0 && m_fd && HungUp()) DropDevice();
  return n;
}

int CSerialPort::Read(std::uint8_t* buffer, int max) {
  if (!m_bOpened || !m_fd || buffer == nullptr || max <= 0) return 0;
  const int waiting = QueuedBytes();
  if (waiting == 0) return 0;
  const int count = std::min(max, waiting);
  int got = 0;
  while (got < count && m_fd) {
    const ssize_t r = ::read(m_fd.Get(), buffer + got, static_cast<std::size_t>(count - got));
    if (r > 0) {
      got += static_cast<int>(r);
    } else if (r == 0) {
      // End of file on a tty whose queue held bytes: the device has gone.
      DropDevice();
    } else if (errno == EINTR) {
      continue;
    } else {
      if (IsDeviceGone(errno)) DropDevice();
      break;  // EAGAIN included: never wait for more
    }
  }
  return got;
}

}  // namespace linkwatch
