#pragma once

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <stdexcept>
#include <string>

#include "base/unique_fd.h"

namespace linkwatch::testing {

// Another serial program as the port sees it: a live process under a command
// name of the test's choosing, which lives until the test ends it.
class OtherProgram {
 public:
  explicit OtherProgram(const char* name) {
    int ready[2];
    if (::pipe2(ready, O_CLOEXEC) != 0) throw std::runtime_error("pipe2");
    UniqueFd readyRead(ready[0]), readyWrite(ready[1]);
    m_pid = ::fork();
    if (m_pid < 0) throw std::runtime_error("fork");
    if (m_pid == 0) {
      // Only async-signal-safe calls here.
      ::prctl(PR_SET_NAME, name);
      const char c = 1;
      (void)!::write(readyWrite.Get(), &c, 1);
      for (;;) ::pause();
    }
    readyWrite.Reset();
    char c;
    if (::read(readyRead.Get(), &c, 1) != 1) throw std::runtime_error("child did not start");
  }
  OtherProgram(const OtherProgram&) = delete;
  OtherProgram& operator=(const OtherProgram&) = delete;
  ~OtherProgram() { End(); }

  pid_t Pid() const { return m_pid; }

  // Ends and reaps it: its id then names no process.
  void End() {
    if (m_pid <= 0) return;
    ::kill(m_pid, SIGKILL);
    ::waitpid(m_pid, nullptr, 0);
    m_pid = -1;
  }

 private:
  pid_t m_pid = -1;
};

// The lock file text these programs write: the id right-aligned in ten
// characters, then a newline.
inline std::string LockText(pid_t pid) {
  const std::string id = std::to_string(pid);
  return std::string(10 - id.size(), ' ') + id + "\n";
}

// The id of a process that has ended.
inline pid_t EndedPid() {
  OtherProgram gone("gone");
  const pid_t pid = gone.Pid();
  gone.End();
  return pid;
}

}  // namespace linkwatch::testing
