#include "report_options.h"

namespace linkwatch::report {

ParsedReportArgs ParseReportArgs(const std::vector<std::string>& args) {
  ParsedReportArgs parsed;
  ReportOptions& o = parsed.options;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--help" || a == "-h") {
      parsed.help = true;
      return parsed;
    }
    if (a == "--json") {
      o.json = true;
      continue;
    }
    std::string* target = a.starts_with("--pdf")   ? &o.pdf
                          : a.starts_with("--png") ? &o.png
                                                   : nullptr;
    if (target != nullptr && (a.size() == 5 || a[5] == '=')) {
      std::string value;
      if (a.size() > 5) {
        value = a.substr(6);
      } else if (i + 1 < args.size()) {
        value = args[++i];
      }
      if (value.empty()) {
        parsed.error = a.substr(0, 5) + " needs a file name";
        return parsed;
      }
      *target = value;
      continue;
    }
    if (a.starts_with("-") && a != "-") {
      parsed.error = "unknown option " + a;
      return parsed;
    }
    if (!o.input.empty()) {
      parsed.error = "only one input file, not also " + a;
      return parsed;
    }
    o.input = a;
  }
  if (o.input.empty()) parsed.error = "no input file";
  return parsed;
}

std::string ReportUsage() {
  return R"(Usage: linkwatch-report FILE [--json] [--pdf OUT.pdf] [--png OUT.png]
Link-quality figures after ITU-T G.826 of a linkwatch test. FILE is the
per-second CSV written beside the log, or the log itself: a log whose CSV
exists beside it is read through the CSV; a log alone gives exact ES but
estimated SES, BBE and unavailable time, marked so.

  --json         print the figures as one JSON object instead of the text
  --pdf OUT.pdf  write a one-page report with the summary and a chart
  --png OUT.png  the same page as an image
  --help         this text

Exit status: 0 done, 1 an output could not be written, 2 bad input (the
message names the file and line) or a bad command line. Nothing is written
when the input is bad.
)";
}

}  // namespace linkwatch::report
