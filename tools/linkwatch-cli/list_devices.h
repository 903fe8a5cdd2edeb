#pragma once

#include <iosfwd>

#include "link/device_list.h"

namespace linkwatch::cli {

// Prints the serial devices present, one path a line; the exit status.
int PrintDevices(IDeviceList& devices, std::ostream& out);

// The same for the devices systemd's device manager knows of; a failure to
// list them is told on standard error.
int ListDevices();

}  // namespace linkwatch::cli
