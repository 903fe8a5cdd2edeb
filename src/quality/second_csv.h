#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "quality/input_error.h"
#include "quality/second_record.h"

namespace linkwatch {

inline constexpr std::string_view kSecondCsvHeader = "time,packets,ucerr,cerr,syncloss,frames,line";

// The per-second CSV beside a log: the log's name with .csv in place of its
// extension, or with .csv added when it has none. A log that is itself named
// .csv keeps it and gets a second one, so the two never share a file.
std::string CsvPathFor(const std::string& logPath);

// The header line and one record, each with its LF.
std::string SecondCsvHeaderLine();
std::string SecondCsvLine(const SecondRecord& r);

// Reads a whole per-second CSV (LF or CR LF line ends), calling onRecord for
// each line after the header. name is the file's name for the error. A file
// that is empty, does not start with our header, or has a line that does not
// parse is an error naming the line.
std::optional<InputError> ParseSecondCsv(std::string_view text, const std::string& name,
                                         const std::function<void(const SecondRecord&)>& onRecord);

// True when text starts like a per-second CSV.
bool LooksLikeSecondCsv(std::string_view text);

}  // namespace linkwatch
