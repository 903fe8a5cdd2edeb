#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "child_process.h"

namespace linkwatch::testing {

// rkv-sim run as a child process; its standard output is read line by line,
// its standard error is the test's.
class SimProcess : public ChildProcess {
 public:
  explicit SimProcess(const std::vector<std::string>& args) : ChildProcess(Setup(args)) {}

  // The exit status, or -1 when it did not exit normally (or within a minute).
  int Wait() { return Finish(std::chrono::minutes(1)).status; }

 private:
  static ChildSetup Setup(const std::vector<std::string>& args) {
    ChildSetup setup;
    setup.program = RKV_SIM_PATH;
    setup.args = args;
    setup.captureStderr = false;
    return setup;
  }
};

// "summary: a=1 b=2" as {a: 1, b: 2}.
inline std::map<std::string, std::uint64_t> ParseSummary(const std::string& line) {
  std::map<std::string, std::uint64_t> values;
  std::istringstream in(line);
  std::string word;
  in >> word;
  if (word != "summary:") return values;
  while (in >> word) {
    const auto eq = word.find('=');
    if (eq == std::string::npos) continue;
    values[word.substr(0, eq)] = std::stoull(word.substr(eq + 1));
  }
  return values;
}

}  // namespace linkwatch::testing
