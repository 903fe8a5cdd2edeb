#include <algorithm>
#include <cctype>
#include <string>
#include <string_view>
#include <vector>

#include "link/device_list.h"

namespace linkwatch {

namespace {

constexpr std::string_view kByIdDir = "/dev/serial/by-id/";

bool IsDigit(char c) {
  return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

// "ttyUSB12" is prefix "ttyUSB" followed by digits only.
bool NumberedName(std::string_view name, std::string_view prefix) {
  if (!name.starts_with(prefix) || name.size() == prefix.size()) return false;
  return std::all_of(name.begin() + static_cast<long>(prefix.size()), name.end(), IsDigit);
}

std::string NameOf(const TtyDevice& tty) {
  std::vector<std::string> byId;
  for (const std::string& link : tty.links) {
    if (link.starts_with(kByIdDir) && link.size() > kByIdDir.size()) byId.push_back(link);
  }
  if (!byId.empty()) return *std::min_element(byId.begin(), byId.end(), NaturalLess);
  if (tty.devnode.empty()) return {};
  if (NumberedName(tty.sysname, "ttyUSB") || NumberedName(tty.sysname, "ttyACM")) {
    return tty.devnode;
  }
  // The serial driver makes ttyS names for ports that have no UART behind
  // them; those never answer.
  if (NumberedName(tty.sysname, "ttyS") && tty.uartType != "0") return tty.devnode;
  return {};
}

}  // namespace

bool NaturalLess(const std::string& a, const std::string& b) {
  std::size_t i = 0;
  std::size_t j = 0;
  while (i < a.size() && j < b.size()) {
    if (IsDigit(a[i]) && IsDigit(b[j])) {
      std::size_t ei = i;
      std::size_t ej = j;
      while (ei < a.size() && IsDigit(a[ei])) ++ei;
      while (ej < b.size() && IsDigit(b[ej])) ++ej;
      // Without leading zeros, the longer run of digits is the larger number.
      std::size_t si = i;
      std::size_t sj = j;
      while (si + 1 < ei && a[si] == '0') ++si;
      while (sj + 1 < ej && b[sj] == '0') ++sj;
      if (ei - si != ej - sj) return ei - si < ej - sj;
      const int cmp = a.compare(si, ei - si, b, sj, ej - sj);
      if (cmp != 0) return cmp < 0;
      if (ei - i != ej - j) return ei - i < ej - j;  // "07" after "7"
      i = ei;
      j = ej;
    } else {
      if (a[i] != b[j]) return static_cast<unsigned char>(a[i]) < static_cast<unsigned char>(b[j]);
      ++i;
      ++j;
    }
  }
  return a.size() - i < b.size() - j;
}

std::vector<std::string> SerialDeviceNames(const std::vector<TtyDevice>& ttys) {
  std::vector<std::string> names;
  for (const TtyDevice& tty : ttys) {
    std::string name = NameOf(tty);
    if (!name.empty()) names.push_back(std::move(name));
  }
  std::sort(names.begin(), names.end(), NaturalLess);
  names.erase(std::unique(names.begin(), names.end()), names.end());
  return names;
}

}  // namespace linkwatch
