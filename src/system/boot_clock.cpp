#include "system/boot_clock.h"

#include <ctime>

namespace linkwatch {

Seconds BootClockSeconds() {
  timespec ts{};
  // Cannot fail for a clock id the kernel has had since 2.6.39.
  ::clock_gettime(CLOCK_BOOTTIME, &ts);
  return static_cast<Seconds>(ts.tv_sec);
}

}  // namespace linkwatch
