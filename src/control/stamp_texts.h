#pragma once

#include <string>

#include "record/local_time.h"

namespace linkwatch {

// Start and stop stamp: "09-11-2004   17:05:03" (three spaces).
std::string StampText(Seconds t);
// Elapsed time of a signed seconds count: "01d-02h-03m-04s". Each field is
// truncated separately, so a negative count gives negative fields.
std::string ElapsedText(Seconds e);

}  // namespace linkwatch
