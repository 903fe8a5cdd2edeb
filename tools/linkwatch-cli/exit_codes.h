#pragma once

namespace linkwatch::cli {

// The exit status of linkwatch-cli; --help lists them for scripts.
enum ExitCode : int {
  kExitOk = 0,        // the test ran and was stopped, or its duration ended
  kExitFailure = 1,   // the program itself could not run (no timer, for example)
  kExitUsage = 2,     // a bad command line
  kExitLog = 3,       // the log cannot be opened, or exists and is not to be replaced
  kExitPort = 4,      // the serial port cannot be opened
  kExitLogWrite = 5,  // the test ran, but writing its log failed at least once
  kExitMetrics = 6,   // the --metrics address cannot be served
};

}  // namespace linkwatch::cli
