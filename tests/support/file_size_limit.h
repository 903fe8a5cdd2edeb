#pragma once

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

namespace linkwatch::testing {

// Files of this process can grow no larger than a limit, until it goes. Writes
// past it fail with EFBIG, as the programs see it: SIGXFSZ is ignored.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    ::signal(SIGXFSZ, SIG_IGN);
    ::getrlimit(RLIMIT_FSIZE, &m_saved);
    rlimit limit = m_saved;
    limit.rlim_cur = bytes;
    EXPECT_EQ(::setrlimit(RLIMIT_FSIZE, &limit), 0);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;
  ~FileSizeLimit() { ::setrlimit(RLIMIT_FSIZE, &m_saved); }

 private:
  rlimit m_saved{};
};

}  // namespace linkwatch::testing
