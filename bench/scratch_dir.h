#pragma once

#include <stdlib.h>

#include <cerrno>
#include <filesystem>
#include <stdexcept>
#include <string>

#include "base/sys_error.h"

namespace linkwatch::bench {

// A fresh directory under the system's temp folder, removed with everything
// in it when it goes.
class ScratchDir {
 public:
  ScratchDir() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "linkwatch-bench-XXXXXX").string();
    if (::mkdtemp(tmpl.data()) == nullptr) {
      throw std::runtime_error("Cannot make a scratch directory: " + SysErrorText(errno));
    }
    m_path = tmpl;
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  ~ScratchDir() {
    std::error_code ec;
    std::filesystem::remove_all(m_path, ec);
  }

  std::string File(const std::string& name) const { return (m_path / name).string(); }

 private:
  std::filesystem::path m_path;
};

}  // namespace linkwatch::bench
