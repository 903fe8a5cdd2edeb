#include "record/log_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>

namespace linkwatch {

bool FileExists(const std::string& path) {
  struct stat st {};
  return !path.empty() && ::stat(path.c_str(), &st) == 0;
}

int LogFile::Open(const std::string& path) {
  const int err = Hold(path);
  if (err != 0) return err;
  return Empty();
}

int LogFile::Hold(const std::string& path) {
  Close();
  if (path.empty()) return ENOENT;
  // Not O_TRUNC: a file that another opener holds must be left untouched, so
  // it is emptied only once the lock is ours.
  // Non-blocking, so that a FIFO or a device at the path cannot hang the open;
  // only a regular file is taken, and it is written blocking.
  UniqueFd fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, 0644));
  if (!fd) return errno;
  struct stat st {};
  if (::fstat(fd.Get(), &st) != 0) return errno;
  if (!S_ISREG(st.st_mode)) return EINVAL;
  const int flags = ::fcntl(fd.Get(), F_GETFL);
  if (flags < 0 || ::fcntl(fd.Get(), F_SETFL, flags & ~O_NONBLOCK) != 0) return errno;
  if (::flock(fd.Get(), LOCK_EX | LOCK_NB) != 0) return errno;
  m_fd = std::move(fd);
  m_kept.clear();
  m_nDroppedLines = 0;
  m_bDirty = false;
  return 0;
}

int LogFile::Empty() {
  if (!m_fd) return EBADF;
  if (::ftruncate(m_fd.Get(), 0) != 0) {
    const int err = errno;
    m_fd.Reset();
    return err;
  }
  return 0;
}

int LogFile::WriteAll(std::string_view text, std::size_t& written) {
  written = 0;
  while (written < text.size()) {
    const ssize_t n = ::write(m_fd.Get(), text.data() + written, text.size() - written);
    if (n > 0) {
      written += static_cast<std::size_t>(n);
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
  const int err = WriteAll(m_kept, written);
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
  err = WriteAll(text, written);
  if (err != 0) Keep(text.substr(written));
  return err;
}

int LogFile::Sync() {
  if (!m_fd) return 0;
  const int err = WriteKept();
  if (err != 0) return err;
  if (!m_bDirty) return 0;
  if (::fdatasync(m_fd.Get()) != 0) return errno;
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
