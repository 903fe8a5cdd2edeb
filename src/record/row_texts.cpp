#include "record/row_texts.h"

#include <cstdint>
#include <cstdio>

namespace linkwatch {

namespace {

template <typename... Args>
std::string Format(const char* fmt, Args... args) {
  char buf[64];
  const int n = std::snprintf(buf, sizeof buf, fmt, args...);
  return std::string(buf, n < 0 ? 0 : static_cast<std::size_t>(n));
}

// Widens the exponent of "%.3e" output to at least three digits.
std::string WidenExponent(std::string text) {
  const auto e = text.find('e');
  if (e == std::string::npos || e + 2 > text.size()) return text;
  const std::size_t digits = text.size() - (e + 2);
  if (digits < 3) text.insert(e + 2, 3 - digits, '0');
  return text;
}

void AppendField(std::string& line, const std::string& field) {
  line += field;
  line += ' ';
}

}  // namespace

std::string DateText(const LocalTime& lt) {
  return Format("%02d-%02d-%02d", lt.day, lt.month, lt.year);
}

std::string TimeText(const LocalTime& lt) {
  return Format("%02d:%02d:%02d", lt.hour, lt.minute, lt.second);
}

std::string NumberText(double x) {
  if (x > 1000000000.0) return WidenExponent(Format("%.3e", x));
  return Format("%9d", static_cast<int>(static_cast<std::int32_t>(x)));
}

std::string ResultLogLine(Seconds t, const Totals& totals) {
  const LocalTime lt = BreakDown(t);
  std::string line = "\r\n";
  AppendField(line, DateText(lt));
  AppendField(line, TimeText(lt));
  for (double x : {totals.packets, totals.ucErr, totals.cErr, totals.syncLoss}) {
    AppendField(line, NumberText(x));
  }
  return line;
}

std::string StatusLogLine(Seconds t, bool bRestored) {
  const LocalTime lt = BreakDown(t);
  std::string line = "\r\n";
  AppendField(line, DateText(lt));
  AppendField(line, TimeText(lt));
  line += bRestored ? kBackLogText : kLostLogText;
  return line;
}

}  // namespace linkwatch
