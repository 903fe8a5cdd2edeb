#pragma once

#include <cstring>
#include <string>

namespace linkwatch {

// The system's own description of an errno value.
inline std::string SysErrorText(int err) {
  char buf[256];
  // GNU strerror_r: returns the text, which may or may not be in buf.
  return ::strerror_r(err, buf, sizeof buf);
}

}  // namespace linkwatch
