#pragma once

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <string>

namespace linkwatch {

// The file system as the log reaches it, one call per system call with the
// system call's own contract (-1 and errno on failure), so that tests can
// count calls, make one fail or watch what reaches the disk. The descriptors
// are real ones, and their owners close them.
class IFileSystem {
 public:
  virtual ~IFileSystem() = default;

  virtual int Open(const std::string& path, int flags, mode_t mode) = 0;
  virtual ssize_t Write(int fd, const void* data, size_t size) = 0;
  virtual ssize_t PRead(int fd, void* data, size_t size, off_t offset) = 0;
  virtual int FDataSync(int fd) = 0;
  virtual int FTruncate(int fd, off_t size) = 0;
  virtual int Flock(int fd, int operation) = 0;
  virtual int FcntlGetFlags(int fd) = 0;
  virtual int FcntlSetFlags(int fd, int flags) = 0;
  virtual int Stat(const std::string& path, struct stat* st) = 0;
  virtual int FStat(int fd, struct stat* st) = 0;
  virtual int Rename(const std::string& from, const std::string& to) = 0;
  virtual int Link(const std::string& from, const std::string& to) = 0;
  // Where an open file that still has a name now is: one of its paths; ""
  // when that cannot be told, with errno set.
  virtual std::string PathOf(int fd) = 0;
};

// The real one: plain POSIX calls.
class PosixFileSystem final : public IFileSystem {
 public:
  static PosixFileSystem& Shared() {
    static PosixFileSystem fs;
    return fs;
  }

  int Open(const std::string& path, int flags, mode_t mode) override {
    return ::open(path.c_str(), flags, mode);
  }
  ssize_t Write(int fd, const void* data, size_t size) override { return ::write(fd, data, size); }
  ssize_t PRead(int fd, void* data, size_t size, off_t offset) override {
    return ::pread(fd, data, size, offset);
  }
  int FDataSync(int fd) override { return ::fdatasync(fd); }
  int FTruncate(int fd, off_t size) override { return ::ftruncate(fd, size); }
  int Flock(int fd, int operation) override { return ::flock(fd, operation); }
  int FcntlGetFlags(int fd) override { return ::fcntl(fd, F_GETFL); }
  int FcntlSetFlags(int fd, int flags) override { return ::fcntl(fd, F_SETFL, flags); }
  int Stat(const std::string& path, struct stat* st) override { return ::stat(path.c_str(), st); }
  int FStat(int fd, struct stat* st) override { return ::fstat(fd, st); }
  int Rename(const std::string& from, const std::string& to) override {
    return ::rename(from.c_str(), to.c_str());
  }
  int Link(const std::string& from, const std::string& to) override {
    return ::link(from.c_str(), to.c_str());
  }
  std::string PathOf(int fd) override {
    char buf[PATH_MAX];
    const std::string link = "/proc/self/fd/" + std::to_string(fd);
    const ssize_t n = ::readlink(link.c_str(), buf, sizeof buf);
    if (n < 0) return {};
    if (static_cast<size_t>(n) >= sizeof buf) {
      errno = ENAMETOOLONG;
      return {};
    }
    return std::string(buf, static_cast<size_t>(n));
  }

 private:
  PosixFileSystem() = default;
};

}  // namespace linkwatch
