#include "link/serial_device_kind.h"

#include <sys/stat.h>
#include <termios.h>

#include <cerrno>

#include "base/file_kind.h"
#include "base/sys_error.h"

namespace linkwatch {

std::string NotASerialPort(int fd) {
  struct stat st {};
  if (::fstat(fd, &st) != 0) return "unknown (" + SysErrorText(errno) + ")";
  if (!S_ISCHR(st.st_mode)) return FileKindText(st.st_mode);
  termios tio{};
  if (::tcgetattr(fd, &tio) != 0) return "a character device that is not a terminal";
  return {};
}

}  // namespace linkwatch
