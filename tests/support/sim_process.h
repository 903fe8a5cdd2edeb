#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "child_process.h"
#include "temp_dir.h"

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

// rkv-sim on a pty behind a link in dir, sending from the moment it starts.
class SimOnPty {
 public:
  SimOnPty(const TempDir& dir, std::vector<std::string> args) : m_link(dir.File("ttyRKV")) {
    args.insert(args.end(), {"--link", m_link});
    m_sim.emplace(args);
    const auto line = m_sim->ReadLine(std::chrono::seconds(5));
    m_bReady = line && line->rfind("device: ", 0) == 0;
  }
  bool Ready() const { return m_bReady; }
  const std::string& Link() const { return m_link; }
  // Stops it; what it says it delivered.
  std::map<std::string, std::uint64_t> Stop() {
    m_sim->Signal(SIGTERM);
    auto summary = Ended(std::chrono::seconds(5));
    m_sim->Wait();
    return summary;
  }
  // What it says it delivered once it has ended by itself (--frames).
  std::map<std::string, std::uint64_t> Ended(
      std::chrono::milliseconds timeout = std::chrono::seconds(20)) {
    std::map<std::string, std::uint64_t> summary;
    while (const auto line = m_sim->ReadLine(timeout)) {
      if (line->rfind("summary:", 0) == 0) summary = ParseSummary(*line);
    }
    return summary;
  }

 private:
  std::string m_link;
  std::optional<SimProcess> m_sim;
  bool m_bReady = false;
};

}  // namespace linkwatch::testing
