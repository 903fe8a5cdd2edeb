#include "cli_options.h"

#include <optional>

namespace linkwatch::cli {

namespace {

bool TakesValue(const std::string& name) {
  return name == "--port" || name == "--device" || name == "--duration" || name == "--log" ||
         name == "--metrics";
}

// Stores one option's value; an error text, empty when it was good.
std::string Apply(CliOptions& o, const std::string& name, const std::string& value) {
  if (name == "--port") {
    if (value.size() != 1 || value[0] < '1' || value[0] > '4') {
      return "bad value for --port: '" + value + "' (1 to 4)";
    }
    o.port = value[0] - '0';
  } else if (name == "--device") {
    if (value.empty()) return "--device needs a path";
    o.device = value;
  } else if (name == "--duration") {
    o.duration = ParseDuration(value);
    return o.duration.error;
  } else if (name == "--log") {
    if (value.empty()) return "--log needs a path";
    o.logPath = value;
  } else if (name == "--metrics") {
    ParsedMetricsAddress parsed = ParseMetricsAddress(value);
    if (!parsed.error.empty()) return parsed.error;
    o.metrics = parsed.address;
  }
  return {};
}

}  // namespace

ParsedCli ParseCliArgs(const std::vector<std::string>& args) {
  ParsedCli parsed;
  bool portGiven = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    std::string name = args[i];
    std::optional<std::string> value;
    if (const auto eq = name.find('='); name.rfind("--", 0) == 0 && eq != std::string::npos) {
      value = name.substr(eq + 1);
      name.resize(eq);
    }
    if ((name == "--help" || name == "-h") && !value) {
      parsed.help = true;
    } else if (name == "--list-devices" && !value) {
      parsed.listDevices = true;
    } else if (name == "--overwrite" && !value) {
      parsed.options.overwrite = true;
    } else if (name == "--no-csv" && !value) {
      parsed.options.csv = false;
    } else if (TakesValue(name)) {
      if (!value) {
        if (i + 1 == args.size()) {
          parsed.error = name + " needs a value";
          return parsed;
        }
        value = args[++i];
      }
      portGiven = portGiven || name == "--port";
      parsed.error = Apply(parsed.options, name, *value);
      if (!parsed.error.empty()) return parsed;
    } else if (name.rfind("-", 0) == 0) {
      parsed.error = "unknown option " + args[i];
      return parsed;
    } else {
      parsed.error = "unexpected argument '" + name + "'";
      return parsed;
    }
  }
  if (portGiven && !parsed.options.device.empty()) {
    parsed.error = "give either --port or --device, not both";
  }
  return parsed;
}

std::string UsageText() {
  return R"(Usage: linkwatch-cli [--port N | --device PATH] [--duration D] [--log PATH]
                     [--overwrite] [--no-csv] [--metrics ADDRESS:PORT]
       linkwatch-cli --list-devices
Runs a link test against an RKV-3520 on a serial port without a window, as the
START button of linkwatch does, and stops it on SIGINT (Ctrl+C), SIGTERM or
SIGHUP as STOP does. Every line written to the log is also printed on standard
output as it is added; on a terminal, standard error shows the elapsed time
and the four totals.

  --port N        COM port 1 to 4 [1]: $LINKWATCH_COM<N> when set, else
                  /dev/ttyS<N-1>
  --device PATH   any serial device instead, e.g. /dev/ttyUSB0 or a path
                  under /dev/serial/by-id/
  --duration D    continuous [the default], one of the window's items
                  ("15 minutes", "30 minutes", "1 hour", "2 hours", "4 hours",
                  "12 hours", "1 day", "2 days", "1 week"), or seconds with an
                  optional unit s, m, h or d: 90, 90s, 15m, 2h, 7d
  --log PATH      the log file [results.txt in the current directory]
  --overwrite     replace an existing log file (and the CSV beside it)
                  without asking. Without it an existing log or CSV is
                  replaced only when the question
                  "Overwrite Existing File? [y/N]" is answered y on a terminal
  --metrics ADDRESS:PORT
                  serve the test's figures for Prometheus over HTTP at
                  http://ADDRESS:PORT/metrics, e.g. 127.0.0.1:9731 or
                  [::1]:9731; a numeric address, bound exactly as given (port
                  0: any free port). Standard error says where it serves.
                  Nothing is served without it
  --list-devices  print the serial devices present, one path a line, as the
                  window's system menu lists them below COM4: names under
                  /dev/serial/by-id/ where there are any, else /dev/ttyUSB*,
                  /dev/ttyACM* and the /dev/ttyS* with a UART behind them
  --no-csv        do not write the per-second CSV beside the log (the log's
                  name with .csv in place of its extension)
  --help          this text

Exit status:
  0  the test ran, and was stopped by a signal or by its duration
  1  the program could not run (no timer or no signal handling)
  2  a usage error
  3  the log file or its CSV cannot be opened, or one exists and is not to be replaced
     (no --overwrite, and no y on a terminal); an existing file is left as it
     was
  4  the serial port cannot be opened; the log then holds its header and the
     line saying so
  5  the test ran, but writing the log failed at least once (see the messages
     on standard error): the log may be incomplete
  6  the --metrics address cannot be served (the port is in use, or the
     address is not one of this machine's); no test was started
)";
}

}  // namespace linkwatch::cli
