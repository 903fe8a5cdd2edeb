#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <map>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/unique_fd.h"

extern char** environ;

namespace linkwatch::testing {

// rkv-sim run as a child process, with its stdout read line by line.
class SimProcess {
 public:
  explicit SimProcess(const std::vector<std::string>& args) {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) throw std::runtime_error("pipe2");
    m_out = UniqueFd(fds[0]);
    UniqueFd writeEnd(fds[1]);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, writeEnd.Get(), STDOUT_FILENO);
    std::vector<std::string> argv{RKV_SIM_PATH};
    argv.insert(argv.end(), args.begin(), args.end());
    std::vector<char*> cargv;
    for (std::string& a : argv) cargv.push_back(a.data());
    cargv.push_back(nullptr);
    const int rc = ::posix_spawn(&m_pid, RKV_SIM_PATH, &actions, nullptr, cargv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) throw std::runtime_error("posix_spawn " RKV_SIM_PATH);
  }
  SimProcess(const SimProcess&) = delete;
  SimProcess& operator=(const SimProcess&) = delete;
  ~SimProcess() {
    if (m_pid > 0) {
      ::kill(m_pid, SIGKILL);
      Wait();
    }
  }

  // The next complete line, or nothing when none comes within the time (or
  // the output has ended). Never blocks longer than timeout.
  std::optional<std::string> ReadLine(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
      if (const auto nl = m_buffer.find('\n'); nl != std::string::npos) {
        std::string line = m_buffer.substr(0, nl);
        m_buffer.erase(0, nl + 1);
        return line;
      }
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
          deadline - std::chrono::steady_clock::now());
      if (left.count() <= 0 || m_ended) return std::nullopt;
      pollfd pfd{m_out.Get(), POLLIN, 0};
      if (::poll(&pfd, 1, static_cast<int>(left.count())) <= 0) continue;
      char buf[256];
      const ssize_t n = ::read(m_out.Get(), buf, sizeof buf);
      if (n <= 0) {
        m_ended = true;
      } else {
        m_buffer.append(buf, static_cast<std::size_t>(n));
      }
    }
  }

  void Signal(int sig) const { ::kill(m_pid, sig); }

  // The exit status, or -1 when it did not exit normally.
  int Wait() {
    int status = 0;
    ::waitpid(m_pid, &status, 0);
    m_pid = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

 private:
  pid_t m_pid = -1;
  UniqueFd m_out;
  std::string m_buffer;
  bool m_ended = false;
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
