#include "quality/mapped_file.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>

#include <cerrno>

#include "base/unique_fd.h"

namespace linkwatch {

MappedFile::~MappedFile() {
  if (m_data != nullptr) ::munmap(m_data, m_size);
}

int MappedFile::Open(const std::string& path) {
  UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
  if (!fd) return errno;
  struct stat st {};
  if (::fstat(fd.Get(), &st) != 0) return errno;
  if (!S_ISREG(st.st_mode)) return EINVAL;
  if (st.st_size == 0) return 0;
  void* const p = ::mmap(nullptr, static_cast<std::size_t>(st.st_size), PROT_READ,
                         MAP_PRIVATE | MAP_POPULATE, fd.Get(), 0);
  if (p == MAP_FAILED) return errno;
  ::madvise(p, static_cast<std::size_t>(st.st_size), MADV_SEQUENTIAL);
  m_data = p;
  m_size = static_cast<std::size_t>(st.st_size);
  return 0;
}

}  // namespace linkwatch
