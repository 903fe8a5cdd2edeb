#include "quality/quality_text.h"

#include <cmath>
#include <cstdio>
#include <ctime>

#include "quality/iso_time.h"

namespace linkwatch {

std::string DurationText(std::int64_t seconds) {
  const bool negative = seconds < 0;
  if (negative) seconds = -seconds;
  char buf[64];
  const std::int64_t d = seconds / 86400;
  const int h = static_cast<int>(seconds / 3600 % 24), m = static_cast<int>(seconds / 60 % 60),
            s = static_cast<int>(seconds % 60);
  if (d > 0) {
    std::snprintf(buf, sizeof buf, "%s%lldd %02d:%02d:%02d", negative ? "-" : "",
                  static_cast<long long>(d), h, m, s);
  } else {
    std::snprintf(buf, sizeof buf, "%s%02d:%02d:%02d", negative ? "-" : "", h, m, s);
  }
  return buf;
}

std::string LocalStampText(std::int64_t t) {
  const auto tt = static_cast<std::time_t>(t);
  std::tm tm{};
  if (localtime_r(&tt, &tm) == nullptr) return "?";
  char buf[64];
  std::strftime(buf, sizeof buf, "%Y-%m-%d %H:%M:%S", &tm);
  return buf;
}

std::string RatioText(const std::optional<double>& ratio) {
  if (!ratio) return "n/a";
  char buf[64];
  const double pct = *ratio * 100.0;
  if (pct == 0.0 || pct >= 0.01) {
    std::snprintf(buf, sizeof buf, "%.4f %%", pct);
  } else {
    std::snprintf(buf, sizeof buf, "%.3e %%", pct);
  }
  return buf;
}

namespace {

std::string Count(std::uint64_t v) {
  return std::to_string(v);
}

std::string Seconds(std::uint64_t v) {
  return Count(v) + " s (" + DurationText(static_cast<std::int64_t>(v)) + ")";
}

std::string Json(const std::optional<double>& v) {
  if (!v) return "null";
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.17g", *v);
  return buf;
}

}  // namespace

std::vector<std::pair<std::string, std::string>> SummaryRows(const QualitySummary& s) {
  const G826Figures& f = s.figures;
  const std::string est = s.estimated ? " (estimated)" : "";
  std::vector<std::pair<std::string, std::string>> rows;
  rows.push_back({"First second", s.first ? LocalStampText(*s.first) : "none recorded"});
  rows.push_back({"Last second", s.last ? LocalStampText(*s.last) : "none recorded"});
  rows.push_back({"Seconds recorded", Seconds(f.secondsTotal)});
  rows.push_back({"Measured", Seconds(f.secondsMeasured)});
  rows.push_back({"Not measured (quiet or lost)", Seconds(f.secondsNotMeasured)});
  rows.push_back({"Available", Seconds(f.secondsAvailable)});
  rows.push_back({"Unavailable" + est, Seconds(f.secondsUnavailable)});
  rows.push_back({"Packets", Count(f.packets)});
  rows.push_back({"ucERR", Count(f.ucErr)});
  rows.push_back({"cERR", Count(f.cErr)});
  rows.push_back({"Sync loss", Count(f.syncLoss)});
  rows.push_back({"ES (errored seconds)", Count(f.es)});
  rows.push_back({"SES (severely errored seconds)" + est, Count(f.ses)});
  rows.push_back({"BBE (background block errors)" + est, Count(f.bbe)});
  rows.push_back({"ESR", RatioText(f.Esr())});
  rows.push_back({"SESR" + est, RatioText(f.Sesr())});
  rows.push_back({"BBER" + est, RatioText(f.Bber())});
  rows.push_back({"Availability" + est, RatioText(f.Availability())});
  if (s.worstHour) {
    const ErrorBucket& w = *s.worstHour;
    // Counted whether available or not: the hour in which the line was worst.
    rows.push_back(
        {"Worst hour", LocalStampText(w.begin).substr(0, 16) + " (" + Count(w.es) + " errored s)"});
  } else {
    rows.push_back({"Worst hour", "none (no errored second)"});
  }
  rows.push_back({"Losses of the serial line", Count(s.lineLosses.size())});
  return rows;
}

std::string SummaryText(const QualitySummary& s, const std::string& source) {
  std::string out = "Link quality of " + source + "\n";
  if (s.estimated) {
    out += "From the log alone: ES is exact; SES, BBE and unavailable time are estimated.\n";
  }
  std::size_t width = 0;
  const auto rows = SummaryRows(s);
  for (const auto& [label, value] : rows) width = std::max(width, label.size());
  for (const auto& [label, value] : rows) {
    out += "  " + label + std::string(width - label.size(), ' ') + "  " + value + "\n";
  }
  for (const LineLoss& l : s.lineLosses) {
    out +=
        "  Line lost " + LocalStampText(l.begin) + " for " + DurationText(l.end - l.begin) + "\n";
  }
  return out;
}

std::string SummaryJson(const QualitySummary& s) {
  const G826Figures& f = s.figures;
  std::string o = "{";
  const auto add = [&o](const char* key, const std::string& value) {
    if (o.size() > 1) o += ",";
    o += "\"";
    o += key;
    o += "\":" + value;
  };
  add("seconds_total", Count(f.secondsTotal));
  add("seconds_measured", Count(f.secondsMeasured));
  add("seconds_not_measured", Count(f.secondsNotMeasured));
  add("seconds_available", Count(f.secondsAvailable));
  add("seconds_unavailable", Count(f.secondsUnavailable));
  add("es", Count(f.es));
  add("ses", Count(f.ses));
  add("bbe", Count(f.bbe));
  add("esr", Json(f.Esr()));
  add("sesr", Json(f.Sesr()));
  add("bber", Json(f.Bber()));
  add("availability", Json(f.Availability()));
  add("packets", Count(f.packets));
  add("ucerr", Count(f.ucErr));
  add("cerr", Count(f.cErr));
  add("syncloss", Count(f.syncLoss));
  // Each loss of the line: when it began (local time with offset) and how long.
  std::string losses = "[";
  for (const LineLoss& l : s.lineLosses) {
    if (losses.size() > 1) losses += ",";
    losses += "{\"start\":\"" + IsoLocalTime(l.begin) +
              "\",\"seconds\":" + std::to_string(l.end - l.begin) + "}";
  }
  add("line_losses", losses + "]");
  add("estimated", s.estimated ? "true" : "false");
  return o + "}\n";
}

}  // namespace linkwatch
