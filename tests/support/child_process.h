#pragma once

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <functional>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/unique_fd.h"

extern char** environ;

namespace linkwatch::testing {

// How a program under test is started: its arguments, directory, extra
// environment, standard input and error, and limits.
struct ChildSetup {
  std::string program;
  std::vector<std::string> args;
  std::string dir;                         // working directory; the test's own if empty
  std::map<std::string, std::string> env;  // added to the test's environment
  int stdinFd = -1;                        // /dev/null when -1
  int stdoutFd = -1;                       // a pipe that the process reads when -1
  int stderrFd = -1;                       // a pipe that the process reads when -1
  bool captureStderr = true;               // false: the test's own standard error
  bool closeStdoutReader = false;          // standard output is a pipe nobody reads
  std::vector<int> ignoredSignals;         // ignored when the program starts, as nohup does
  rlim_t fileSizeLimit = RLIM_INFINITY;
  // A terminal that the program runs in the background of, as a job started
  // with '&': see RunAsBackgroundJob. Signal then reaches its shell only.
  int backgroundOf = -1;
};

struct ChildResult {
  int status = -1;     // exit status, or -1 when it ended on a signal or timed out
  int termSignal = 0;  // the signal that ended it, if one did
  std::string out;
  std::string err;
};

// In a forked child, as a shell with job control does: becomes a session
// leader with tty as its controlling terminal, so that its own process group
// is the terminal's foreground, and runs the program in a process group of
// its own. Ends with the program's exit status; a program stopped by the
// terminal (reading it from the background) is killed, and its shell exits
// with 128 + the stop signal, as shells report it. Only async-signal-safe
// calls: it runs between fork and exec.
[[noreturn]] inline void RunAsBackgroundJob(int tty, const char* program, char* const argv[],
                                            char* const envp[]) {
  if (::setsid() < 0 || ::ioctl(tty, TIOCSCTTY, 0) != 0) ::_exit(125);
  const pid_t job = ::fork();
  if (job < 0) ::_exit(125);
  if (job == 0) {
    ::setpgid(0, 0);
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);  // it goes with its shell
    ::execve(program, argv, envp);
    ::_exit(127);
  }
  ::setpgid(job, job);
  int status = 0;
  while (::waitpid(job, &status, WUNTRACED) < 0) {
    if (errno != EINTR) ::_exit(125);
  }
  if (WIFSTOPPED(status)) {
    ::kill(job, SIGKILL);
    ::_exit(128 + WSTOPSIG(status));
  }
  ::_exit(WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status));
}

// A program run as a child process, its standard output (and error) gathered
// as it comes. Killed when it goes, if it still runs.
class ChildProcess {
 public:
  explicit ChildProcess(const ChildSetup& setup) {
    std::vector<std::string> argv{setup.program};
    argv.insert(argv.end(), setup.args.begin(), setup.args.end());
    std::vector<std::string> envs;
    for (char** e = environ; *e != nullptr; ++e) {
      const std::string entry = *e;
      if (!setup.env.contains(entry.substr(0, entry.find('=')))) envs.push_back(entry);
    }
    for (const auto& [name, value] : setup.env) envs.push_back(name + "=" + value);
    std::vector<char*> cargv, cenv;
    for (std::string& a : argv) cargv.push_back(a.data());
    cargv.push_back(nullptr);
    for (std::string& e : envs) cenv.push_back(e.data());
    cenv.push_back(nullptr);

    int outPipe[2], errPipe[2];
    if (::pipe2(outPipe, O_CLOEXEC) != 0 || ::pipe2(errPipe, O_CLOEXEC) != 0) {
      throw std::runtime_error("pipe2");
    }
    m_out = UniqueFd(outPipe[0]);
    UniqueFd outWrite(outPipe[1]);
    m_err = UniqueFd(errPipe[0]);
    UniqueFd errWrite(errPipe[1]);
    UniqueFd devNull(::open("/dev/null", O_RDONLY | O_CLOEXEC));
    const int in = setup.stdinFd >= 0 ? setup.stdinFd : devNull.Get();
    const int out = setup.stdoutFd >= 0 ? setup.stdoutFd : outWrite.Get();
    int err = setup.stderrFd >= 0 ? setup.stderrFd : errWrite.Get();
    if (!setup.captureStderr && setup.stderrFd < 0) err = STDERR_FILENO;
    if (setup.closeStdoutReader) m_out.Reset();
    const std::string program = setup.program;

    m_pid = ::fork();
    if (m_pid < 0) throw std::runtime_error("fork");
    if (m_pid == 0) {
      // Only async-signal-safe calls from here to exec.
      if (!setup.dir.empty() && ::chdir(setup.dir.c_str()) != 0) ::_exit(126);
      ::dup2(in, STDIN_FILENO);
      ::dup2(out, STDOUT_FILENO);
      if (err != STDERR_FILENO) ::dup2(err, STDERR_FILENO);
      for (const int signo : setup.ignoredSignals) {
        struct sigaction ignore {};
        ignore.sa_handler = SIG_IGN;
        ::sigaction(signo, &ignore, nullptr);
      }
      if (setup.fileSizeLimit != RLIM_INFINITY) {
        const rlimit limit{setup.fileSizeLimit, setup.fileSizeLimit};
        ::setrlimit(RLIMIT_FSIZE, &limit);
      }
      if (setup.backgroundOf >= 0) {
        RunAsBackgroundJob(setup.backgroundOf, program.c_str(), cargv.data(), cenv.data());
      }
      ::execve(program.c_str(), cargv.data(), cenv.data());
      ::_exit(127);
    }
    if (setup.stdoutFd >= 0) m_out.Reset();
    if (setup.stderrFd >= 0 || !setup.captureStderr) m_err.Reset();
  }
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;
  ~ChildProcess() {
    if (m_pid > 0) {
      ::kill(m_pid, SIGKILL);
      ::waitpid(m_pid, nullptr, 0);
    }
  }

  pid_t Pid() const { return m_pid; }
  void Signal(int sig) const {
    if (m_pid > 0) ::kill(m_pid, sig);
  }
  // Everything standard output and error have brought so far.
  const std::string& Out() const { return m_result.out; }
  const std::string& Err() const { return m_result.err; }

  // Gathers output until standard output holds text, or the time is up.
  ::testing::AssertionResult WaitForOutput(const std::string& text,
                                           std::chrono::milliseconds timeout) {
    return WaitUntilOutput(
        [&](const std::string& out) { return out.find(text) != std::string::npos; },
        "\"" + text + "\"", timeout);
  }

  // Gathers output until seen(standard output) holds, or the time is up;
  // what names the awaited output in the failure.
  ::testing::AssertionResult WaitUntilOutput(const std::function<bool(const std::string&)>& seen,
                                             const std::string& what,
                                             std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!seen(m_result.out)) {
      if (std::chrono::steady_clock::now() >= deadline || !Pump(50)) {
        return ::testing::AssertionFailure()
               << "no " << what << " on standard output within " << timeout.count()
               << " ms; it has: " << m_result.out.substr(0, 2000)
               << "\nstandard error: " << m_result.err.substr(0, 2000);
      }
    }
    return ::testing::AssertionSuccess();
  }

  // The next complete line of standard output not read by ReadLine before, or
  // nothing when none comes within the time (or the output has ended).
  std::optional<std::string> ReadLine(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
      if (const auto nl = m_result.out.find('\n', m_lineStart); nl != std::string::npos) {
        std::string line = m_result.out.substr(m_lineStart, nl - m_lineStart);
        m_lineStart = nl + 1;
        return line;
      }
      if (std::chrono::steady_clock::now() >= deadline || !Pump(50)) return std::nullopt;
    }
  }

  // Waits for the exit, gathering the rest of the output; kills the process
  // when it has not ended within the time.
  ChildResult Finish(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < deadline && Pump(50)) {
    }
    int status = 0;
    if (m_pid <= 0) return m_result;
    if (::waitpid(m_pid, &status, WNOHANG) == 0) {
      while (std::chrono::steady_clock::now() < deadline &&
             ::waitpid(m_pid, &status, WNOHANG) == 0) {
        ::poll(nullptr, 0, 20);
      }
    }
    if (::waitpid(m_pid, &status, WNOHANG) == 0) {
      ::kill(m_pid, SIGKILL);
      ::waitpid(m_pid, &status, 0);
      status = -1;
    }
    m_pid = -1;
    m_result.status = (status != -1 && WIFEXITED(status)) ? WEXITSTATUS(status) : -1;
    m_result.termSignal = (status != -1 && WIFSIGNALED(status)) ? WTERMSIG(status) : 0;
    return m_result;
  }

 private:
  // Reads what is there within ms; false once both streams have ended and
  // the process is gone.
  bool Pump(int ms) {
    if (!m_out && !m_err) {
      ::poll(nullptr, 0, ms);
      return Alive();
    }
    pollfd fds[2] = {{m_out.Get(), POLLIN, 0}, {m_err.Get(), POLLIN, 0}};
    ::poll(fds, 2, ms);
    ReadFrom(m_out, fds[0].revents, m_result.out);
    ReadFrom(m_err, fds[1].revents, m_result.err);
    return m_out.Valid() || m_err.Valid();
  }

  bool Alive() const {
    siginfo_t info{};
    return m_pid > 0 &&
           ::waitid(P_PID, static_cast<id_t>(m_pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
           info.si_pid == 0;
  }

  static void ReadFrom(UniqueFd& fd, short revents, std::string& to) {
    if (!fd || (revents & (POLLIN | POLLHUP | POLLERR)) == 0) return;
    char buf[4096];
    const ssize_t n = ::read(fd.Get(), buf, sizeof buf);
    if (n > 0) {
      to.append(buf, static_cast<std::size_t>(n));
    } else if (n == 0 || errno != EINTR) {
      fd.Reset();
    }
  }

  pid_t m_pid = -1;
  UniqueFd m_out, m_err;
  ChildResult m_result;
  std::size_t m_lineStart = 0;
};

}  // namespace linkwatch::testing
