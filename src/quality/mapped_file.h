#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace linkwatch {

// A whole file mapped read-only, for reading large logs without copying.
class MappedFile {
 public:
  MappedFile() = default;
  MappedFile(const MappedFile&) = delete;
  MappedFile& operator=(const MappedFile&) = delete;
  ~MappedFile();

  // Returns 0, or the errno of the failure.
  int Open(const std::string& path);
  std::string_view Text() const { return {static_cast<const char*>(m_data), m_size}; }

 private:
  void* m_data = nullptr;
  std::size_t m_size = 0;
};

}  // namespace linkwatch
