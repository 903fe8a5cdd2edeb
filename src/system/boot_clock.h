#pragma once

#include "base/seconds.h"

namespace linkwatch {

// Whole seconds on a clock that is never set or stepped and that goes on
// counting while the machine is suspended (CLOCK_BOOTTIME); its origin is
// the boot. For measuring how long a test has run, never for showing a time.
Seconds BootClockSeconds();

}  // namespace linkwatch
