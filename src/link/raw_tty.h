#pragma once

#include <termios.h>

#include <string>

#include "base/unique_fd.h"

namespace linkwatch {

// A tty opened for exclusive use, or the errno of the step that failed; when
// the path is no tty at all (ENOTTY), notTty says what it is instead.
struct RawTty {
  UniqueFd fd;
  int err = 0;
  std::string notTty;
};

// Opens path without blocking and without making it the controlling tty,
// locks it against every other opener, and sets a raw 8-bit line at speed
// with reads that return at once. Parity and stop bits stay as the driver has
// them. On failure nothing is left open.
RawTty OpenRawTty(const std::string& path, speed_t speed);

// Gives up the exclusive use taken by OpenRawTty and closes the tty.
void CloseRawTty(UniqueFd& fd);

}  // namespace linkwatch
