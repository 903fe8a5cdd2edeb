#include "quality/summary_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/sys_error.h"
#include "base/unique_fd.h"
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

// The first bytes of a file, enough to tell a log from a CSV.
std::string Head(const std::string& path) {
  std::string head(128, '\0');
  const UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
  const ssize_t n = fd ? ::pread(fd.Get(), head.data(), head.size(), 0) : -1;
  head.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
  return head;
}

}  // namespace

std::variant<LoadedSummary, InputError> LoadSummary(const std::string& path) {
  if (LooksLikeLog(Head(path))) {
    const std::string csv = CsvPathFor(path);
    if (RegularFileExists(csv)) return Summarise(csv);
  }
  return Summarise(path);
}

}  // namespace linkwatch
