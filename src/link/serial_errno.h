#pragma once

#include "link/serial_link.h"

namespace linkwatch {

// The one place where a system error of opening or setting up a port becomes
// a SerialError.
SerialError SerialErrorFromErrno(int err);

// True for the errors with which a tty tells that its device has gone
// (adapter unplugged, pty master closed).
bool IsDeviceGone(int err);

}  // namespace linkwatch
