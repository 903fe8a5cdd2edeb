#include "process_memory.h"

#include <malloc.h>
#include <unistd.h>

#include <fstream>

namespace linkwatch::bench {

std::size_t HeapBytesInUse() {
  const struct mallinfo2 info = ::mallinfo2();
  return info.uordblks + info.hblkhd;
}

std::size_t ResidentBytes() {
  std::ifstream statm("/proc/self/statm");
  std::size_t total = 0;
  std::size_t resident = 0;
  if (!(statm >> total >> resident)) return 0;
  return resident * static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
}

}  // namespace linkwatch::bench
