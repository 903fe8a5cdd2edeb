#pragma once

#include <cstdint>
#include <string>

#include "frame_encoder.h"

namespace linkwatch::sim {

// Sums over a set of complete frames, as a receiver's totals would show them.
struct SimTotals {
  std::uint64_t frames = 0;
  std::uint64_t errorFrames = 0;
  std::uint64_t packets = 0;
  std::uint64_t ucErr = 0;
  std::uint64_t cErr = 0;
  std::uint64_t syncLoss = 0;

  void Add(const FrameCounts& f);
  void Remove(const FrameCounts& f);
  friend bool operator==(const SimTotals&, const SimTotals&) = default;
};

// What a run sent, for its "summary:" line.
struct SimSummary {
  SimTotals delivered;  // complete frames a reader could take
  SimTotals lost;       // complete frames still unread when their pty was closed
  std::uint64_t noiseUnits = 0;
  std::uint64_t bytes = 0;
};

// "summary: frames=.. error_frames=.. packets=.. ucerr=.. cerr=.. syncloss=..
// lost_frames=.. noise_units=.. bytes=.." on one line.
std::string SummaryLine(const SimSummary& s);

}  // namespace linkwatch::sim
