#include "record/log_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>

#include "base/file_kind.h"

namespace linkwatch {

bool FileExists(const std::string& path) {
  struct stat st {};
  return !path.empty() && ::stat(path.c_str(), &st) == 0;
}

int LogFile::OpenHeld(const std::string& path, UniqueFd& fd) {
  // Looked at before the open too: opening a FIFO nobody reads fails with a
  // reason that would hide what the path is.
  struct stat st {};
  if (m_fs.Stat(path, &st) == 0 && !S_ISREG(st.st_mode)) {
    m_strNotAFile = FileKindText(st.st_mode);
    return EINVAL;
  }
  // Not O_TRUNC: a file that another opener holds must be left untouched, so
  // it is emptied only once the lock is ours.
  // Non-blocking, so that a FIFO or a device at the path cannot hang the open;
  // only a regular file is taken, and it is written blocking.
  UniqueFd opened(m_fs.Open(path, O_WRONLY | O_CREAT | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, 0644));
  if (!opened) return errno;
  if (m_fs.FStat(opened.Get(), &st) != 0) return errno;
  if (!S_ISREG(st.st_mode)) {
    m_strNotAFile = FileKindText(st.st_mode);
    return EINVAL;
  }
  const int flags = m_fs.FcntlGetFlags(opened.Get());
  if (flags < 0 || m_fs.FcntlSetFlags(opened.Get(), flags & ~O_NONBLOCK) != 0) return errno;
  if (m_fs.Flock(opened.Get(), LOCK_EX | LOCK_NB) != 0) return errno;
  if (m_fs.FTruncate(opened.Get(), 0) != 0) return errno;
  fd = std::move(opened);
  return 0;
}

UniqueFd LogFile::OpenForReading(int fd) {
  return UniqueFd(m_fs.Open("/proc/self/fd/" + std::to_string(fd), O_RDONLY | O_CLOEXEC, 0));
}

int LogFile::Open(const std::string& path) {
  Close();
  m_readFd.Reset();
  m_strNotAFile.clear();
  if (path.empty()) return ENOENT;
  UniqueFd fd;
  const int err = OpenHeld(path, fd);
  if (err != 0) return err;
  m_readFd = OpenForReading(fd.Get());
  // Without /proc, by the path: the same file, as long as nobody moves it.
  if (!m_readFd) m_readFd = UniqueFd(m_fs.Open(path, O_RDONLY | O_CLOEXEC, 0));
  m_fd = std::move(fd);
  m_strPath = path;
  m_kept.clear();
  m_nDroppedLines = 0;
  m_nWritten = 0;
  m_bDirty = false;
  return 0;
}

int LogFile::Recreate() {
  UniqueFd fd;
  int err = OpenHeld(m_strPath, fd);
  if (err != 0) return err;
  struct stat own {};
  if (m_fs.FStat(m_fd.Get(), &own) != 0) return errno;
  char buf[1 << 16];
  std::uint64_t copied = 0;
  const auto size = static_cast<std::uint64_t>(own.st_size);
  while (copied < size) {
    const long n = ReadAt(
        copied, buf, static_cast<std::size_t>(std::min<std::uint64_t>(sizeof buf, size - copied)));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return errno;
    if (n == 0) break;  // it cannot have shrunk, but never loop on it
    std::size_t written = 0;
    err = WriteAll(fd.Get(), {buf, static_cast<std::size_t>(n)}, written);
    if (err != 0) return err;
    copied += static_cast<std::uint64_t>(n);
  }
  UniqueFd readFd = OpenForReading(fd.Get());
  if (!readFd) return errno;
  m_fd = std::move(fd);  // closing the deleted file lets it go
  m_readFd = std::move(readFd);
  m_bDirty = true;
  return 0;
}

LogFile::PlaceCheck LogFile::CheckPlace() {
  if (!m_fd) return {};
  struct stat own {};
  if (m_fs.FStat(m_fd.Get(), &own) != 0) return {};
  if (own.st_nlink == 0) {
    const int err = Recreate();
    if (err != 0) return {Place::Orphaned, err};
    return {Place::Recreated, 0};
  }
  struct stat at {};
  if (m_fs.Stat(m_strPath, &at) == 0 && at.st_dev == own.st_dev && at.st_ino == own.st_ino) {
    return {};
  }
  std::string now = m_fs.PathOf(m_fd.Get());
  if (now.empty() || now == m_strPath) return {};
  m_strPath = std::move(now);
  return {Place::Moved, 0};
}

long LogFile::ReadAt(std::uint64_t offset, char* data, std::size_t size) const {
  if (!m_readFd) {
    errno = EBADF;
    return -1;
  }
  return static_cast<long>(m_fs.PRead(m_readFd.Get(), data, size, static_cast<off_t>(offset)));
}

int LogFile::WriteAll(int fd, std::string_view text, std::size_t& written) {
  written = 0;
  while (written < text.size()) {
    const ssize_t n = m_fs.Write(fd, text.data() + written, text.size() - written);
    if (n > 0) {
      written += static_cast<std::size_t>(n);
      if (fd == m_fd.Get()) m_nWritten += static_cast<std::uint64_t>(n);
      m_bDirty = true;
    } else if (n < 0 && errno == EINTR) {
      continue;
    } else {
      return n < 0 ? errno : ENOSPC;
    }
  }
  return 0;
}

void LogFile::Keep(std::string_view text) {
  if (m_nDroppedLines == 0 && m_kept.size() + text.size() <= kKeepLimit) {
    m_kept.append(text);
    return;
  }
  // Past the bound, whole texts are counted instead of kept; once one has been
  // dropped nothing later is kept either, so the kept text stays a prefix.
  ++m_nDroppedLines;
}

int LogFile::WriteKept() {
  if (m_kept.empty() && m_nDroppedLines == 0) return 0;
  std::size_t written = 0;
  const int err = WriteAll(m_fd.Get(), m_kept, written);
  m_kept.erase(0, written);
  if (err != 0) return err;
  if (m_nDroppedLines != 0) {
    char note[96];
    const int n = std::snprintf(note, sizeof note, "\r\n     %llu lines lost - log write failed",
                                static_cast<unsigned long long>(m_nDroppedLines));
    m_kept.assign(note, static_cast<std::size_t>(std::max(n, 0)));
    m_nDroppedLines = 0;
    return WriteKept();
  }
  return 0;
}

int LogFile::Write(std::string_view text) {
  if (!m_fd) return EBADF;
  int err = WriteKept();
  if (err != 0) {
    Keep(text);
    return err;
  }
  std::size_t written = 0;
  err = WriteAll(m_fd.Get(), text, written);
  if (err != 0) Keep(text.substr(written));
  return err;
}

int LogFile::Sync() {
  if (!m_fd) return 0;
  const int err = WriteKept();
  if (err != 0) return err;
  if (!m_bDirty) return 0;
  if (m_fs.FDataSync(m_fd.Get()) != 0) return errno;
  m_bDirty = false;
  return 0;
}

int LogFile::Close() {
  if (!m_fd) return 0;
  int err = Sync();
  const int closeErr = m_fd.Reset();  // closing also releases the lock
  if (err == 0) err = closeErr;
  return err;
}

}  // namespace linkwatch
