#pragma once

#include <cstddef>

namespace linkwatch::bench {

// Bytes the C library's allocator has handed out and not got back, including
// blocks it mapped on their own.
std::size_t HeapBytesInUse();

// The process's resident set, in bytes; 0 when it cannot be read.
std::size_t ResidentBytes();

}  // namespace linkwatch::bench
