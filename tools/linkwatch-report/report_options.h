#pragma once

#include <string>
#include <vector>

namespace linkwatch::report {

struct ReportOptions {
  std::string input;
  bool json = false;
  std::string pdf;  // empty: none
  std::string png;
};

struct ParsedReportArgs {
  ReportOptions options;
  bool help = false;
  std::string error;
};

ParsedReportArgs ParseReportArgs(const std::vector<std::string>& args);
std::string ReportUsage();

// Exit statuses.
inline constexpr int kExitOk = 0;
inline constexpr int kExitOutputFailed = 1;
inline constexpr int kExitBadInput = 2;  // also a bad command line

}  // namespace linkwatch::report
