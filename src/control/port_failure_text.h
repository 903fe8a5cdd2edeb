#pragma once

#include <string>

#include "link/serial_link.h"

namespace linkwatch {

// What went wrong when a port would not open, and what to do about it: the
// device tried on the first line, the reason in plain words, and the remedy.
// Paths stand on lines of their own, without spaces.
// portName is "COM<n>" for a numbered port, or a device path.
std::string PortFailureDetail(const SerialFailure& failure, const std::string& portName);

}  // namespace linkwatch
