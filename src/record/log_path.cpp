#include "record/log_path.h"

#include <unistd.h>

#include <cerrno>
#include <vector>

namespace linkwatch {

std::optional<std::string> CurrentDirectory() {
  std::vector<char> buf(256);
  for (;;) {
    if (::getcwd(buf.data(), buf.size()) != nullptr) return std::string(buf.data());
    if (errno != ERANGE || buf.size() > (1u << 20)) return std::nullopt;
    buf.resize(buf.size() * 2);
  }
}

std::string DefaultLogPath(const std::optional<std::string>& directory, char separator) {
  if (!directory || directory->empty()) return {};
  return *directory + separator + kDefaultLogName;
}

std::string ShortenedLogDisplay(const std::string& path, char separator) {
  constexpr long kShortenFrom = 50;
  constexpr long kBudget = 45;
  const long n = static_cast<long>(path.size());
  if (n < kShortenFrom) return path;

  // A separator at position 0 is never taken as the start of the file name.
  const auto last = path.rfind(separator);
  const long s = (last == std::string::npos || last == 0) ? 1 : static_cast<long>(last) + 1;
  const long tail = n - s;
  const long limit = kBudget - tail;

  long k = s;
  if (limit > 0) {
    const auto before = path.rfind(separator, static_cast<std::size_t>(limit - 1));
    k = (before == std::string::npos || before == 0) ? 0 : static_cast<long>(before);
  }
  const std::string mark = std::string(1, separator) + "..." + separator;
  return path.substr(0, static_cast<std::size_t>(k)) + mark +
         path.substr(static_cast<std::size_t>(n - tail));
}

}  // namespace linkwatch
