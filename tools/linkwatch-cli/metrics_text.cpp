#include "metrics_text.h"

#include <charconv>
#include <cstdint>

namespace linkwatch::cli {

namespace {

// The shortest text that reads back as the same double: whole counts print
// as integers, huge ones in exponent form, both of which Prometheus reads.
std::string Number(double value) {
  char buf[32];
  const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value);
  return ec == std::errc() ? std::string(buf, end) : std::string("NaN");
}

std::string Number(std::uint64_t value) {
  return std::to_string(value);
}

void Add(std::string& out, const char* name, const char* type, const char* help,
         const std::string& label, const std::string& value) {
  out += "# HELP ";
  out += name;
  out += ' ';
  out += help;
  out += "\n# TYPE ";
  out += name;
  out += ' ';
  out += type;
  out += '\n';
  out += name;
  out += label;
  out += ' ';
  out += value;
  out += '\n';
}

}  // namespace

std::string EscapeLabelValue(std::string_view value) {
  std::string out;
  out.reserve(value.size());
  for (const char c : value) {
    if (c == '\\') {
      out += "\\\\";
    } else if (c == '"') {
      out += "\\\"";
    } else if (c == '\n') {
      out += "\\n";
    } else {
      out += c;
    }
  }
  return out;
}

std::string RenderMetrics(const MetricsFigures& f) {
  const std::string label = "{port=\"" + EscapeLabelValue(f.port) + "\"}";
  std::string out;
  out.reserve(2048);
  Add(out, "linkwatch_test_running", "gauge", "1 while a link test runs, 0 otherwise.", label,
      f.running ? "1" : "0");
  Add(out, "linkwatch_line_up", "gauge",
      "1 while a running test's serial line is not declared lost, 0 otherwise.", label,
      f.lineUp ? "1" : "0");
  Add(out, "linkwatch_test_elapsed_seconds", "gauge", "Seconds since the test started.", label,
      std::to_string(f.elapsed));
  Add(out, "linkwatch_frames_total", "counter", "Frames decoded.", label, Number(f.frames));
  Add(out, "linkwatch_error_frames_total", "counter",
      "Frames with a non-zero ucERR, cERR or sync-loss count.", label, Number(f.errorFrames));
  Add(out, "linkwatch_packets_total", "counter", "Sum of the frames' packet counts.", label,
      Number(f.counts.packets));
  Add(out, "linkwatch_ucerr_total", "counter", "Sum of the frames' ucERR counts.", label,
      Number(f.counts.ucErr));
  Add(out, "linkwatch_cerr_total", "counter", "Sum of the frames' cERR counts.", label,
      Number(f.counts.cErr));
  Add(out, "linkwatch_sync_loss_total", "counter", "Sum of the frames' sync-loss counts.", label,
      Number(f.counts.syncLoss));
  Add(out, "linkwatch_line_losses_total", "counter",
      "Times the serial line was declared lost (two quiet ticks).", label, Number(f.lineLosses));
  Add(out, "linkwatch_log_write_failures_total", "counter",
      "Failed writes or syncs of the log file.", label, Number(f.logWriteFailures));
  return out;
}

}  // namespace linkwatch::cli
