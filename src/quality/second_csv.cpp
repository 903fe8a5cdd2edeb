#include "quality/second_csv.h"

#include <charconv>

#include "quality/iso_time.h"

namespace linkwatch {

std::string CsvPathFor(const std::string& logPath) {
  const std::size_t slash = logPath.rfind('/');
  const std::size_t nameBegin = slash == std::string::npos ? 0 : slash + 1;
  const std::size_t dot = logPath.rfind('.');
  // A dot that leads the name (".results") starts no extension.
  if (dot == std::string::npos || dot <= nameBegin) return logPath + ".csv";
  if (logPath.compare(dot, std::string::npos, ".csv") == 0) return logPath + ".csv";
  return logPath.substr(0, dot) + ".csv";
}

std::string SecondCsvHeaderLine() {
  return std::string(kSecondCsvHeader) + "\n";
}

std::string SecondCsvLine(const SecondRecord& r) {
  std::string line = IsoLocalTime(r.time);
  for (const std::uint64_t v : {r.packets, r.ucErr, r.cErr, r.syncLoss, r.frames}) {
    line += ',';
    line += std::to_string(v);
  }
  line += ',';
  line += LineStatusName(r.line);
  line += '\n';
  return line;
}

bool LooksLikeSecondCsv(std::string_view text) {
  return text.starts_with("time,");
}

namespace {

bool ParseCount(std::string_view field, std::uint64_t& out) {
  if (field.empty()) return false;
  const auto [end, ec] = std::from_chars(field.data(), field.data() + field.size(), out);
  return ec == std::errc() && end == field.data() + field.size();
}

// Splits off the next field up to a comma; false when there is none left.
bool NextField(std::string_view& rest, std::string_view& field) {
  const std::size_t comma = rest.find(',');
  if (comma == std::string_view::npos) return false;
  field = rest.substr(0, comma);
  rest.remove_prefix(comma + 1);
  return true;
}

std::optional<std::string> ParseLine(std::string_view line, SecondRecord& r) {
  std::string_view f;
  std::string_view rest = line;
  if (!NextField(rest, f)) return "expected 7 comma-separated fields";
  const auto t = ParseIsoTime(f);
  if (!t) return "bad time '" + std::string(f) + "'";
  r.time = *t;
  static constexpr const char* kNames[] = {"packets", "ucerr", "cerr", "syncloss", "frames"};
  std::uint64_t* const slots[] = {&r.packets, &r.ucErr, &r.cErr, &r.syncLoss, &r.frames};
  for (int i = 0; i < 5; ++i) {
    if (!NextField(rest, f)) return "expected 7 comma-separated fields";
    if (!ParseCount(f, *slots[i]))
      return std::string("bad ") + kNames[i] + " '" + std::string(f) + "'";
  }
  const auto state = ParseLineStatus(rest);
  if (!state) return "bad line state '" + std::string(rest) + "'";
  r.line = *state;
  return std::nullopt;
}

}  // namespace

std::optional<InputError> ParseSecondCsv(std::string_view text, const std::string& name,
                                         const std::function<void(const SecondRecord&)>& onRecord) {
  if (text.empty()) return InputError{name, 0, "the file is empty"};
  std::uint64_t lineNo = 0;
  while (!text.empty()) {
    ++lineNo;
    const std::size_t nl = text.find('\n');
    std::string_view line = text.substr(0, nl);
    text.remove_prefix(nl == std::string_view::npos ? text.size() : nl + 1);
    if (line.ends_with('\r')) line.remove_suffix(1);
    if (lineNo == 1) {
      if (line != kSecondCsvHeader) {
        return InputError{name, 1,
                          "not a linkwatch per-second CSV (expected the header '" +
                              std::string(kSecondCsvHeader) + "')"};
      }
      continue;
    }
    // A blank last line is what a spreadsheet may leave; any other is a fault.
    if (line.empty() && text.empty()) break;
    SecondRecord r;
    if (auto err = ParseLine(line, r)) return InputError{name, lineNo, *err};
    onRecord(r);
  }
  return std::nullopt;
}

}  // namespace linkwatch
