#pragma once

#include <csignal>
#include <cstdint>
#include <iosfwd>

#include "sim_options.h"

namespace linkwatch::sim {

// Runs the simulator until its end (--duration, --frames) or until stop is
// set, then prints the summary line on out. Returns the exit status.
int RunSim(const SimOptions& options, std::uint64_t seed, std::ostream& out, std::ostream& err,
           const volatile std::sig_atomic_t& stop);

}  // namespace linkwatch::sim
