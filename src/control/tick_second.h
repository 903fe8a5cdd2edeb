#pragma once

#include <cstdint>

#include "control/monitor_events.h"
#include "quality/second_record.h"

namespace linkwatch {

// A tick of the test as the per-second record that the CSV and the link
// quality figures take.
inline SecondRecord SecondOf(const TickRecord& tick) {
  const auto count = [](double v) { return v > 0 ? static_cast<std::uint64_t>(v) : 0; };
  const LineStatus line = tick.line == LineState::Up     ? LineStatus::Up
                          : tick.line == LineState::Lost ? LineStatus::Lost
                                                         : LineStatus::Quiet;
  return {tick.time,
          count(tick.counts.packets),
          count(tick.counts.ucErr),
          count(tick.counts.cErr),
          count(tick.counts.syncLoss),
          tick.frames,
          line};
}

}  // namespace linkwatch
