#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <memory>

#include "link/baud_rate.h"
#include "link/raw_tty.h"
#include "link/serial_errno.h"
#include "link/serial_port.h"

namespace linkwatch {

CSerialPort::CSerialPort(std::string lockFolder) : m_strLockFolder(std::move(lockFolder)) {}

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
  m_failure.subject = path;
  const int err = path.empty() ? ENOENT : !speed ? EINVAL : 0;
  if (err != 0) {
    m_failure.code = SerialErrorFromErrno(err);
    m_failure.sysErrno = err;
    return false;
  }
  if (!Acquire(path, *speed, m_failure)) return false;
  m_strDevice = path;
  m_speed = *speed;
  m_bOpened = true;
  return true;
}

bool CSerialPort::Acquire(const std::string& path, speed_t speed, SerialFailure& failure) {
  const std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(path.c_str(), nullptr),
                                                             &std::free);
  if (!resolved) {
    failure.sysErrno = errno;
    failure.code = SerialErrorFromErrno(failure.sysErrno);
    return false;
  }
  const std::string device = resolved.get();
  // The lock named after the device itself meets every other name of it.
  // minicom and cu name the lock after the path they are given, links
  // included, so a link under /dev (/dev/serial/by-id/...) is locked under
  // its own name as well. Elsewhere they name it by its last part alone,
  // which two links to two devices may share: a live holder of that name is
  // heeded, but taking it could refuse another device's free port.
  std::vector<std::string> names{device};
  if (UucpLockName(path) != UucpLockName(device)) {
    if (path.starts_with("/dev/")) {
      names.push_back(path);
    } else if (PortHolder holder = UucpLock::LiveHolder(m_strLockFolder, path); holder.pid != 0) {
      failure.code = SerialError::Busy;
      failure.sysErrno = EBUSY;
      failure.facts.holder = std::move(holder);
      return false;
    }
  }
  std::vector<UucpLock> locks;
  for (const std::string& name : names) {
    UucpLockAttempt lock = UucpLock::Take(m_strLockFolder, name);
    if (!lock.holder.lockFile.empty()) {
      failure.code = SerialError::Busy;
      failure.sysErrno = EBUSY;
      failure.facts.holder = lock.holder;
      return false;  // the locks taken so far go with locks
    }
    if (lock.folderErrno != 0) {
      failure.facts.lockFolder = m_strLockFolder;
      failure.facts.lockFolderErrno = lock.folderErrno;
      break;
    }
    locks.push_back(std::move(lock.lock));
  }
  // The device, not the link: the link may point elsewhere by now.
  RawTty tty = OpenRawTty(device, speed);
  if (!tty.fd) {
    failure.code = SerialErrorFromErrno(tty.err);
    failure.sysErrno = tty.err;
    failure.facts.kind = tty.notTty;
    return false;
  }
  m_fd = std::move(tty.fd);
  m_locks = std::move(locks);
  return true;
}

bool CSerialPort::Close() {
  if (!m_bOpened) return true;
  CloseRawTty(m_fd);
  m_locks.clear();
  m_bOpened = false;
  m_strDevice.clear();
  return true;
}

void CSerialPort::DropDevice() {
  CloseRawTty(m_fd);
  // Another program may use the device while it is gone or after it is back.
  m_locks.clear();
}

bool CSerialPort::Reopen() {
  SerialFailure ignored;
  return Acquire(m_strDevice, m_speed, ignored);
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
