#pragma once

#include <cstdint>

namespace linkwatch {

// Calendar time in whole seconds since the epoch. 64 bits, so dates after
// January 2038 work.
using Seconds = std::int64_t;

}  // namespace linkwatch
