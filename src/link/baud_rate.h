#pragma once

#include <termios.h>

#include <optional>

namespace linkwatch {

// The termios speed for a baud rate in bits per second; nothing for a rate
// that the termios interface does not name (0 among them: it means hang up).
std::optional<speed_t> BaudToSpeed(int baud);

}  // namespace linkwatch
