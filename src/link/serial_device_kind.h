#pragma once

#include <string>

namespace linkwatch {

// Empty when fd is a terminal device, which a serial port is; otherwise what
// it is instead ("a regular file", "a character device that is not a
// terminal"), so that a refusal can say why the thing cannot be used rather
// than let a later ioctl fail with a misleading reason.
std::string NotASerialPort(int fd);

}  // namespace linkwatch
