#pragma once

#include <string>

#include "link/serial_link.h"

namespace linkwatch {

// What went wrong when a port would not open, and what to do about it: the
// device tried, the reason in plain words, and the remedy.
// portName is "COM<n>" for a numbered port, or a device path.
std::string PortFailureDetail(const SerialFailure& failure, const std::string& portName);

}  // namespace linkwatch
