#include "sim_options.h"

#include <charconv>
#include <cmath>
#include <functional>
#include <limits>
#include <map>

#include "frame_encoder.h"

namespace linkwatch::sim {
namespace {

template <class T>
std::optional<T> ParseNumber(const std::string& text) {
  T value{};
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, value);
  if (ec != std::errc() || ptr != end || text.empty()) return std::nullopt;
  if constexpr (std::is_floating_point_v<T>) {
    if (!std::isfinite(value)) return std::nullopt;
  }
  return value;
}

// "AT:VALUE", both non-negative; VALUE above 0 and up to hi.
std::optional<TimedEvent> ParseEvent(const std::string& text, double hi) {
  const auto colon = text.find(':');
  if (colon == std::string::npos) return std::nullopt;
  const auto at = ParseNumber<double>(text.substr(0, colon));
  const auto value = ParseNumber<double>(text.substr(colon + 1));
  if (!at || !value || *at < 0.0 || *value <= 0.0 || *value > hi) return std::nullopt;
  return TimedEvent{*at, *value};
}

using Setter = std::function<bool(SimOptions&, const std::string&)>;

Setter Real(double SimOptions::*field, double lo, double hi) {
  return [=](SimOptions& o, const std::string& v) {
    const auto x = ParseNumber<double>(v);
    if (!x || *x < lo || *x > hi) return false;
    o.*field = *x;
    return true;
  };
}

Setter Count(std::uint32_t SimOptions::*field, std::uint32_t hi) {
  return [=](SimOptions& o, const std::string& v) {
    const auto x = ParseNumber<std::uint32_t>(v);
    if (!x || *x > hi) return false;
    o.*field = *x;
    return true;
  };
}

Setter Event(std::vector<TimedEvent> SimOptions::*field,
             double hi = std::numeric_limits<double>::max()) {
  return [=](SimOptions& o, const std::string& v) {
    const auto e = ParseEvent(v, hi);
    if (!e) return false;
    (o.*field).push_back(*e);
    return true;
  };
}

const std::map<std::string, Setter>& Setters() {
  static const std::map<std::string, Setter> setters{
      {"--device",
       [](SimOptions& o, const std::string& v) {
         o.device = v;
         return !v.empty();
       }},
      {"--link",
       [](SimOptions& o, const std::string& v) {
         o.link = v;
         return !v.empty();
       }},
      {"--rate", Real(&SimOptions::rate, 0.0, kMaxRate)},
      {"--error-share", Real(&SimOptions::errorShare, 0.0, 1.0)},
      {"--noise", Real(&SimOptions::noise, 0.0, 1.0)},
      {"--ucerr", Count(&SimOptions::ucErrMax, kMaxUcErr)},
      {"--cerr", Count(&SimOptions::cErrMax, kMaxCErr)},
      {"--syncloss", Count(&SimOptions::syncLossMax, kMaxSyncLoss)},
      {"--packets", Count(&SimOptions::packets, kMaxPackets)},
      {"--gap", Event(&SimOptions::gaps)},
      {"--burst", Event(&SimOptions::bursts, kMaxBurstBytes)},
      {"--unplug", Event(&SimOptions::unplugs)},
      {"--seed",
       [](SimOptions& o, const std::string& v) {
         o.seed = ParseNumber<std::uint64_t>(v);
         return o.seed.has_value();
       }},
      {"--duration",
       [](SimOptions& o, const std::string& v) {
         o.duration = ParseNumber<double>(v);
         return o.duration && *o.duration > 0.0;
       }},
      {"--frames",
       [](SimOptions& o, const std::string& v) {
         o.frames = ParseNumber<std::uint64_t>(v);
         return o.frames.has_value();
       }},
  };
  return setters;
}

// What a good value looks like, for the options whose range is not plain
// from the usage text.
std::string RangeOf(const std::string& name) {
  if (name == "--burst") {
    return " (AT:BYTES, AT from 0, BYTES from 1 to " +
           std::to_string(static_cast<long long>(kMaxBurstBytes)) + ")";
  }
  return {};
}

std::string CheckTogether(const SimOptions& o) {
  if (o.rate <= 0.0) return "--rate must be above 0";
  if (!o.device.empty() && !o.link.empty()) return "--link makes no sense with --device";
  if (!o.device.empty() && !o.unplugs.empty()) return "--unplug needs a pty, not --device";
  if (o.errorShare > 0.0 && o.ucErrMax == 0 && o.cErrMax == 0 && o.syncLossMax == 0) {
    return "--error-share needs one of --ucerr, --cerr, --syncloss above 0";
  }
  return {};
}

}  // namespace

ParsedArgs ParseSimArgs(const std::vector<std::string>& args) {
  ParsedArgs parsed;
  for (std::size_t i = 0; i < args.size(); ++i) {
    std::string name = args[i];
    std::optional<std::string> value;
    if (const auto eq = name.find('='); eq != std::string::npos) {
      value = name.substr(eq + 1);
      name.resize(eq);
    }
    if (name == "--help" || name == "-h") {
      parsed.help = true;
      continue;
    }
    if (!name.starts_with("-")) {
      parsed.error = "unexpected argument '" + args[i] + "'";
      return parsed;
    }
    const auto it = Setters().find(name);
    if (it == Setters().end()) {
      parsed.error = "unknown option " + name;
      return parsed;
    }
    if (!value) {
      if (i + 1 == args.size()) {
        parsed.error = name + " needs a value";
        return parsed;
      }
      value = args[++i];
    }
    if (!it->second(parsed.options, *value)) {
      parsed.error = "bad value for " + name + ": '" + *value + "'" + RangeOf(name);
      return parsed;
    }
  }
  parsed.error = CheckTogether(parsed.options);
  return parsed;
}

std::string UsageText() {
  return R"(Usage: rkv-sim [options]
Sends RKV-3520 frames at 9600 baud pacing to a new pseudo-terminal, whose
slave is printed first as "device: /dev/pts/N", or to a given device.

  --device PATH       write to PATH (a tty) instead of a new pty
  --link PATH         keep a symlink at PATH pointing at the pty's slave
  --rate N            frames per second, above 0 up to 106 (the full line)
                      [10]
  --error-share P     share of frames, 0..1, that carry error counts [0.1]
  --ucerr N           an error frame's ucERR count is random in 1..N, 0 for
                      none [5]
  --cerr N            the same for cERR [50]
  --syncloss N        the same for the sync-loss count, N up to 15 [1]
  --packets N         packet count of every frame [100]
  --noise P           share of frames, 0..1, that come after noise: stray
                      bytes or a truncated frame, which a receiver drops [0]
  --gap AT:SECONDS    the line is quiet from second AT for SECONDS
                      (repeatable)
  --burst AT:BYTES    at second AT, write at least BYTES bytes (up to
                      1048576) of whole frames at once, unpaced
                      (repeatable)
  --unplug AT:SECONDS at second AT close the pty, and after SECONDS make a new
                      one behind the same --link (repeatable)
  --seed N            seed for a repeatable run [from the clock]
  --duration SECONDS  stop sending after SECONDS [run until SIGINT/SIGTERM]
  --frames N          send exactly N frames, then stop
  --help              this text

Values may also be given as --option=value. After the last frame the pty stays
open up to 2 s so that a reader can take what is queued (not after a signal).

On exit one line tells exactly what arrived:
  summary: frames=F error_frames=E packets=P ucerr=U cerr=C syncloss=S
           lost_frames=L noise_units=N bytes=B
F, E, P, U, C and S count only complete frames that a reader could take: a
frame still unread when its pty was closed (by --unplug or at exit) is counted
in L instead (with --device nothing can be seen of the reader, and every
frame written counts). Noise and truncated frames are never counted. B is
every byte written. Every new pty, also the one after an --unplug, is
announced by a "device:" line.
)";
}

}  // namespace linkwatch::sim
