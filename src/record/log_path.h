#pragma once

#include <optional>
#include <string>

namespace linkwatch {

inline constexpr char kPathSeparator = '/';
inline constexpr const char* kDefaultLogName = "results.txt";

// The current directory, or nothing when it cannot be read (for example when
// it has been removed).
std::optional<std::string> CurrentDirectory();

// The directory text as it comes, the separator and "results.txt"; empty when
// there is no directory.
std::string DefaultLogPath(const std::optional<std::string>& directory,
                           char separator = kPathSeparator);

// The path as the log display shows it: unchanged below 50 characters, else
// the leading folders and the file name around an elision mark, so that the
// file name always stays readable.
std::string ShortenedLogDisplay(const std::string& path, char separator = kPathSeparator);

}  // namespace linkwatch
