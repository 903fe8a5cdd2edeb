#pragma once

#include <optional>
#include <string>
#include <vector>

#include "duration_arg.h"
#include "metrics_address.h"

namespace linkwatch::cli {

struct CliOptions {
  int port = 1;                       // COM1 to COM4
  std::string device;                 // a serial device by path, instead of a COM port
  ParsedDuration duration{0, 0, {}};  // continuous
  std::string logPath;                // empty: results.txt in the current directory
  bool overwrite = false;
  bool csv = true;                        // the per-second CSV beside the log
  std::optional<MetricsAddress> metrics;  // where to serve /metrics; nowhere when empty
};

struct ParsedCli {
  CliOptions options;
  bool help = false;
  bool listDevices = false;  // print the serial devices present, and run no test
  std::string error;         // empty when the command line was good
};

// Reads the command line (without the program name); the first fault is
// reported in error. Options take their value as the next word or after '='.
ParsedCli ParseCliArgs(const std::vector<std::string>& args);

// The --help text, with the exit statuses.
std::string UsageText();

}  // namespace linkwatch::cli
