#include "data_syncs.h"

#include <sys/stat.h>
#include <unistd.h>

// The names the linker's --wrap option gives the real call and its stand-in.
extern "C" int __real_fdatasync(int fd);
extern "C" int __wrap_fdatasync(int fd);

namespace linkwatch::testing {

std::vector<DataSync>& DataSyncs() {
  static std::vector<DataSync> syncs;
  return syncs;
}

}  // namespace linkwatch::testing

extern "C" int __wrap_fdatasync(int fd) {
  struct stat st {};
  const off_t size = ::fstat(fd, &st) == 0 ? st.st_size : -1;
  linkwatch::testing::DataSyncs().push_back({fd, size});
  return __real_fdatasync(fd);
}
