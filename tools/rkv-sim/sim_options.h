#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace linkwatch::sim {

// Something that happens on the line at a given second of the run.
struct TimedEvent {
  double at = 0.0;     // seconds after the start
  double value = 0.0;  // seconds (gap, unplug) or bytes (burst)
};

struct SimOptions {
  std::string device;  // write to this device instead of a new pty
  std::string link;    // symlink kept pointing at the pty's slave
  double rate = 10.0;  // frames per second
  double errorShare = 0.1;
  std::uint32_t ucErrMax = 5;
  std::uint32_t cErrMax = 50;
  std::uint32_t syncLossMax = 1;
  std::uint32_t packets = 100;
  double noise = 0.0;
  std::vector<TimedEvent> gaps;
  std::vector<TimedEvent> bursts;
  std::vector<TimedEvent> unplugs;
  std::optional<std::uint64_t> seed;
  std::optional<double> duration;
  std::optional<std::uint64_t> frames;
};

// 9600 baud with a start and a stop bit: the most bytes the line carries.
inline constexpr double kLineBytesPerSecond = 960.0;
// Whole 9-byte frames that fit the line in a second.
inline constexpr double kMaxRate = 106.0;
// The largest burst: far more than any UART or tty buffer holds (over 18
// minutes of the full line), and small enough to build in memory at once.
inline constexpr double kMaxBurstBytes = 1048576.0;

struct ParsedArgs {
  SimOptions options;
  bool help = false;
  std::string error;  // empty when the arguments were good
};

// Reads the command line (without the program name). Every value is checked
// against its range; the first fault is reported in error.
ParsedArgs ParseSimArgs(const std::vector<std::string>& args);

std::string UsageText();

}  // namespace linkwatch::sim
