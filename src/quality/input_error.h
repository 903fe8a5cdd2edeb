#pragma once

#include <cstdint>
#include <string>

namespace linkwatch {

// Why a file could not be read as a record of a test, and where.
struct InputError {
  std::string file;
  std::uint64_t line = 0;  // 1-based; 0 when the fault is not on one line
  std::string what;

  std::string Text() const {
    if (line == 0) return file + ": " + what;
    return file + ":" + std::to_string(line) + ": " + what;
  }
};

}  // namespace linkwatch
