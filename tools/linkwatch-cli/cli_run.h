#pragma once

#include "cli_options.h"

namespace linkwatch::cli {

// Runs one link test on the core, as the window would, with the terminal as
// its platform: the start sequence, a tick a second until the duration ends
// it or a stop signal comes, then the stop sequence. Returns the exit status.
int RunCli(const CliOptions& options);

}  // namespace linkwatch::cli
