#include "quality/summary_file.h"

#include <sys/stat.h>

#include "base/sys_error.h"
#include "quality/log_reader.h"
#include "quality/mapped_file.h"
#include "quality/second_csv.h"

namespace linkwatch {

namespace {

bool RegularFileExists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::variant<LoadedSummary, InputError> Summarise(const std::string& path) {
  MappedFile file;
  if (const int err = file.Open(path); err != 0) {
    return InputError{path, 0, "cannot read: " + SysErrorText(err)};
  }
  const std::string_view text = file.Text();
  QualitySummariser summariser;
  const auto add = [&summariser](const SecondRecord& r) { summariser.Add(r); };
  const bool log = LooksLikeLog(text);
  std::optional<InputError> err = log ? ParseLog(text, path, add) : ParseSecondCsv(text, path, add);
  if (err) return *err;
  return LoadedSummary{summariser.Summary(log), path};
}

}  // namespace

std::variant<LoadedSummary, InputError> LoadSummary(const std::string& path) {
  MappedFile probe;
  if (probe.Open(path) == 0 && LooksLikeLog(probe.Text())) {
    const std::string csv = CsvPathFor(path);
    if (RegularFileExists(csv)) return Summarise(csv);
  }
  return Summarise(path);
}

}  // namespace linkwatch
