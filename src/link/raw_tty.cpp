#include "link/raw_tty.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>

#include <cerrno>

#include "link/serial_device_kind.h"

namespace linkwatch {
namespace {

// Every received byte must arrive unchanged: no line editing, echo, signals,
// CR/NL translation, stripping, parity marking or XON/XOFF (0x11 and 0x13 are
// payload). PARENB, PARODD, CSTOPB and the hardware flow control are left as
// the driver has them.
void MakeRaw(termios& tio, speed_t speed) {
  tio.c_iflag &= ~(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IUCLC | IXON |
                   IXOFF | IXANY | IMAXBEL);
  tio.c_oflag &= ~OPOST;
  tio.c_lflag &= ~(ICANON | ECHO | ECHOE | ECHOK | ECHONL | ISIG | IEXTEN);
  tio.c_cflag &= ~CSIZE;
  tio.c_cflag |= CS8 | CREAD | CLOCAL;
  tio.c_cc[VMIN] = 0;
  tio.c_cc[VTIME] = 0;
  cfsetispeed(&tio, speed);
  cfsetospeed(&tio, speed);
}

// tcsetattr succeeds when any one change was taken; only reading back shows
// that the rate and the byte size really hold.
bool SettingsHeld(const termios& got, speed_t speed) {
  return cfgetispeed(&got) == speed && cfgetospeed(&got) == speed && (got.c_cflag & CSIZE) == CS8 &&
         (got.c_lflag & ICANON) == 0;
}

}  // namespace

RawTty OpenRawTty(const std::string& path, speed_t speed) {
  RawTty tty;
  tty.fd = UniqueFd(::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
  if (!tty.fd) {
    tty.err = errno;
    return tty;
  }
  tty.notTty = NotASerialPort(tty.fd.Get());
  if (!tty.notTty.empty()) {
    tty.err = ENOTTY;
    tty.fd.Reset();
    return tty;
  }
  // The lock keeps out every opener that asks for it, also a second copy of
  // this program running as root, for which TIOCEXCL does not hold.
  if (::flock(tty.fd.Get(), LOCK_EX | LOCK_NB) != 0 || ::ioctl(tty.fd.Get(), TIOCEXCL) != 0) {
    tty.err = errno;
    tty.fd.Reset();
    return tty;
  }
  termios tio{};
  if (::tcgetattr(tty.fd.Get(), &tio) != 0) {
    tty.err = errno;
    CloseRawTty(tty.fd);
    return tty;
  }
  MakeRaw(tio, speed);
  termios got{};
  if (::tcsetattr(tty.fd.Get(), TCSANOW, &tio) != 0 || ::tcgetattr(tty.fd.Get(), &got) != 0) {
    tty.err = errno;
    CloseRawTty(tty.fd);
    return tty;
  }
  if (!SettingsHeld(got, speed)) {
    tty.err = EINVAL;
    CloseRawTty(tty.fd);
  }
  // Linux has no call that sets the driver's input and output queue sizes;
  // the tty layer's own buffering is used as it is.
  return tty;
}

void CloseRawTty(UniqueFd& fd) {
  if (!fd) return;
  // A device that has gone refuses these; closing releases both anyway.
  ::ioctl(fd.Get(), TIOCNXCL);
  ::flock(fd.Get(), LOCK_UN);
  fd.Reset();
}

}  // namespace linkwatch
