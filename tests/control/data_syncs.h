#pragma once

#include <sys/types.h>

#include <vector>

namespace linkwatch::testing {

// One fdatasync call of this program: the descriptor, and the size its file
// had when the call was made.
struct DataSync {
  int fd;
  off_t size;
};

// Every fdatasync call so far, oldest first. The test program is linked with
// --wrap=fdatasync, so the calls are seen without a seam in the product code;
// a test clears the list before the calls it counts.
std::vector<DataSync>& DataSyncs();

}  // namespace linkwatch::testing
