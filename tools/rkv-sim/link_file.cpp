#include "link_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdio>

#include "base/sys_error.h"

namespace linkwatch::sim {

std::string LinkFile::Point(const std::string& target) {
  struct stat st {};
  if (::lstat(m_path.c_str(), &st) == 0 && !S_ISLNK(st.st_mode)) {
    return m_path + " exists and is not a symlink";
  }
  const std::string temp = m_path + ".new." + std::to_string(::getpid());
  ::unlink(temp.c_str());
  if (::symlink(target.c_str(), temp.c_str()) != 0) {
    return "symlink " + temp + ": " + SysErrorText(errno);
  }
  if (::rename(temp.c_str(), m_path.c_str()) != 0) {
    const int err = errno;
    ::unlink(temp.c_str());
    return "rename to " + m_path + ": " + SysErrorText(err);
  }
  m_target = target;
  return {};
}

void LinkFile::Remove() {
  if (m_target.empty()) return;
  std::array<char, 4096> buf{};
  const ssize_t n = ::readlink(m_path.c_str(), buf.data(), buf.size() - 1);
  // Someone else may have pointed it elsewhere since; that link is theirs.
  if (n > 0 && std::string(buf.data(), static_cast<std::size_t>(n)) == m_target) {
    ::unlink(m_path.c_str());
  }
  m_target.clear();
}

}  // namespace linkwatch::sim
