#include "link/uucp_lock.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <optional>
#include <thread>
#include <utility>

#include "base/unique_fd.h"

namespace linkwatch {
namespace {

// How often a lock file that names no one is read again before it counts as
// stale: another program may have created it and not yet written its id.
constexpr int kUnreadableRereads = 20;
constexpr auto kRereadPause = std::chrono::milliseconds(10);
// Rounds of "stale, removed, taken by someone else first" before giving up.
constexpr int kTakeRounds = 5;

struct LockFileRead {
  bool exists = false;
  std::optional<pid_t> pid;  // empty when the content is no process id
  int err = 0;               // errno when the file exists but cannot be read
};

// Reads the id as these programs write it: decimal, space-padded, newline
// after. Does not follow a symlink planted in the shared folder.
LockFileRead ReadLockFile(const std::string& path) {
  LockFileRead result;
  const UniqueFd fd(::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
  if (!fd) {
    result.exists = errno != ENOENT;
    if (result.exists) result.err = errno;
    return result;
  }
  result.exists = true;
  char buf[32];
  ssize_t n = 0;
  do {
    n = ::read(fd.Get(), buf, sizeof buf - 1);
  } while (n < 0 && errno == EINTR);
  if (n < 0) {
    result.err = errno;
    return result;
  }
  buf[n] = '\0';
  long value = 0;
  char end = '\0';
  const int fields = std::sscanf(buf, " %ld%c", &value, &end);
  if ((fields == 1 || (fields == 2 && (end == '\n' || end == ' '))) && value > 0 &&
      value <= 0x3fffffff) {
    result.pid = static_cast<pid_t>(value);
  }
  return result;
}

// A lock file just created by someone else may still be empty; give its
// writer a moment before calling it garbage.
LockFileRead ReadSettledLockFile(const std::string& path) {
  LockFileRead read = ReadLockFile(path);
  for (int i = 0; i < kUnreadableRereads && read.exists && read.err == 0 && !read.pid; ++i) {
    std::this_thread::sleep_for(kRereadPause);
    read = ReadLockFile(path);
  }
  return read;
}

bool ProcessLives(pid_t pid) {
  // EPERM: it exists but belongs to another user.
  return ::kill(pid, 0) == 0 || errno == EPERM;
}

std::string CommandName(pid_t pid) {
  const std::string path = "/proc/" + std::to_string(pid) + "/comm";
  const UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (!fd) return {};
  char buf[64];
  const ssize_t n = ::read(fd.Get(), buf, sizeof buf);
  if (n <= 0) return {};
  std::string name(buf, static_cast<std::size_t>(n));
  while (!name.empty() && (name.back() == '\n' || name.back() == '\0')) name.pop_back();
  return name;
}

// errno of a failed write of the whole text, 0 on success.
int WriteAll(int fd, const std::string& text) {
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return n < 0 ? errno : EIO;
    done += static_cast<std::size_t>(n);
  }
  return 0;
}

}  // namespace

std::string UucpLockName(const std::string& device) {
  std::string name;
  if (device.starts_with("/dev/")) {
    name = device.substr(5);
    for (char& c : name) {
      if (c == '/') c = '_';
    }
  } else {
    name = device.substr(device.rfind('/') + 1);
  }
  return "LCK.." + name;
}

UucpLock::UucpLock(UucpLock&& other) noexcept : m_strPath(std::exchange(other.m_strPath, {})) {}

UucpLock& UucpLock::operator=(UucpLock&& other) noexcept {
  if (this != &other) {
    Release();
    m_strPath = std::exchange(other.m_strPath, {});
  }
  return *this;
}

UucpLock::~UucpLock() {
  Release();
}

void UucpLock::Release() {
  if (m_strPath.empty()) return;
  // A process forked from us, or someone who took the file over, must keep
  // their lock.
  if (ReadLockFile(m_strPath).pid == ::getpid()) ::unlink(m_strPath.c_str());
  m_strPath.clear();
}

PortHolder UucpLock::LiveHolder(const std::string& folder, const std::string& device) {
  const std::string path = folder + "/" + UucpLockName(device);
  const LockFileRead held = ReadSettledLockFile(path);
  if (!held.pid || !ProcessLives(*held.pid)) return {};
  return {*held.pid, CommandName(*held.pid), path};
}

UucpLockAttempt UucpLock::Take(const std::string& folder, const std::string& device) {
  UucpLockAttempt attempt;
  const std::string path = folder + "/" + UucpLockName(device);
  for (int round = 0; round < kTakeRounds; ++round) {
    // O_EXCL: of two programs creating it at once, exactly one succeeds.
    UniqueFd fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644));
    if (fd) {
      char text[16];
      std::snprintf(text, sizeof text, "%10d\n", static_cast<int>(::getpid()));
      int err = WriteAll(fd.Get(), text);
      if (const int closeErr = fd.Reset(); err == 0) err = closeErr;
      if (err != 0) {
        ::unlink(path.c_str());
        attempt.folderErrno = err;
        return attempt;
      }
      attempt.lock = UucpLock(path);
      return attempt;
    }
    if (errno != EEXIST) {
      attempt.folderErrno = errno;
      return attempt;
    }

    const LockFileRead held = ReadSettledLockFile(path);
    if (!held.exists) continue;  // its owner let go meanwhile
    if (held.err != 0) {
      // Present but unreadable: someone holds it, and we cannot tell who.
      attempt.holder.lockFile = path;
      return attempt;
    }
    if (held.pid && ProcessLives(*held.pid)) {
      attempt.holder = {*held.pid, CommandName(*held.pid), path};
      return attempt;
    }
    // Stale: its process has ended (or it names none). Remove it only if it
    // is still the file just read, not one that another program has put in
    // its place since.
    if (ReadLockFile(path).pid != held.pid) continue;
    if (::unlink(path.c_str()) != 0 && errno != ENOENT) {
      attempt.folderErrno = errno;
      return attempt;
    }
  }
  // Others keep taking it between our removal and our create.
  attempt.holder.lockFile = path;
  return attempt;
}

}  // namespace linkwatch
