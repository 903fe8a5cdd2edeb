#include "sim_line.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <array>
#include <cerrno>

#include "base/sys_error.h"

namespace linkwatch::sim {
namespace {

std::string Failed(const std::string& what) {
  return what + ": " + SysErrorText(errno);
}

bool SetRawLine(int fd) {
  termios tio{};
  if (::tcgetattr(fd, &tio) != 0) return false;
  ::cfmakeraw(&tio);
  tio.c_cflag |= CREAD | CLOCAL;
  tio.c_cc[VMIN] = 0;
  tio.c_cc[VTIME] = 0;
  ::cfsetispeed(&tio, B9600);
  ::cfsetospeed(&tio, B9600);
  return ::tcsetattr(fd, TCSANOW, &tio) == 0;
}

}  // namespace

std::optional<SimLine> SimLine::NewPty(std::string& error) {
  UniqueFd master(::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC));
  if (!master) {
    error = Failed("posix_openpt");
    return std::nullopt;
  }
  if (::grantpt(master.Get()) != 0 || ::unlockpt(master.Get()) != 0) {
    error = Failed("grantpt/unlockpt");
    return std::nullopt;
  }
  std::array<char, 128> name{};
  if (::ptsname_r(master.Get(), name.data(), name.size()) != 0) {
    error = Failed("ptsname_r");
    return std::nullopt;
  }
  UniqueFd slave(::open(name.data(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
  if (!slave || !SetRawLine(slave.Get())) {
    error = Failed(std::string("setting up ") + name.data());
    return std::nullopt;
  }
  const int flags = ::fcntl(master.Get(), F_GETFL);
  if (flags < 0 || ::fcntl(master.Get(), F_SETFL, flags | O_NONBLOCK) != 0) {
    error = Failed("fcntl");
    return std::nullopt;
  }
  return SimLine(std::move(master), std::move(slave), name.data());
}

std::optional<SimLine> SimLine::OpenDevice(const std::string& path, std::string& error) {
  UniqueFd fd(::open(path.c_str(), O_WRONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
  if (!fd) {
    error = Failed(path);
    return std::nullopt;
  }
  if (::isatty(fd.Get()) && !SetRawLine(fd.Get())) {
    error = Failed("setting up " + path);
    return std::nullopt;
  }
  return SimLine(std::move(fd), UniqueFd(), path);
}

std::size_t SimLine::Queued() const {
  int n = 0;
  if (!m_slave || ::ioctl(m_slave.Get(), TIOCINQ, &n) != 0 || n < 0) return 0;
  return static_cast<std::size_t>(n);
}

std::size_t SimLine::TakeUnread() {
  if (!m_slave) return 0;
  std::size_t taken = 0;
  std::array<std::uint8_t, 4096> buf{};
  // The tty moves held-back bytes into its queue shortly after room is made;
  // a few quiet rounds in a row mean there is nothing left.
  for (int quiet = 0; quiet < 3;) {
    const ssize_t r = ::read(m_slave.Get(), buf.data(), buf.size());
    if (r > 0) {
      taken += static_cast<std::size_t>(r);
      quiet = 0;
    } else if (r < 0 && errno == EINTR) {
      continue;
    } else if (r < 0 && errno == EAGAIN) {
      ++quiet;
      ::poll(nullptr, 0, 10);
    } else {
      break;
    }
  }
  return taken;
}

}  // namespace linkwatch::sim
