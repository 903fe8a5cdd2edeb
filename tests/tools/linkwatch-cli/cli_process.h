#pragma once

#include <string>
#include <utility>
#include <vector>

#include "child_process.h"

namespace linkwatch::testing {

// linkwatch-cli as a child process.
using CliSetup = ChildSetup;
using CliResult = ChildResult;

inline CliSetup Cli(std::vector<std::string> args, std::string dir = {}) {
  CliSetup setup;
  setup.args = std::move(args);
  setup.dir = std::move(dir);
  return setup;
}

class CliProcess : public ChildProcess {
 public:
  explicit CliProcess(CliSetup setup) : ChildProcess(WithProgram(std::move(setup))) {}

 private:
  static ChildSetup WithProgram(ChildSetup setup) {
    setup.program = LINKWATCH_CLI_PATH;
    return setup;
  }
};

}  // namespace linkwatch::testing
