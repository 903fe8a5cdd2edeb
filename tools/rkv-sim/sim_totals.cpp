#include "sim_totals.h"

namespace linkwatch::sim {

void SimTotals::Add(const FrameCounts& f) {
  ++frames;
  if (f.HasErrors()) ++errorFrames;
  packets += f.packets;
  // The receiver adds error counts only from frames that have any; the
  // others carry zeros, so adding them unconditionally is the same.
  ucErr += f.ucErr;
  cErr += f.cErr;
  syncLoss += f.syncLoss;
}

void SimTotals::Remove(const FrameCounts& f) {
  --frames;
  if (f.HasErrors()) --errorFrames;
  packets -= f.packets;
  ucErr -= f.ucErr;
  cErr -= f.cErr;
  syncLoss -= f.syncLoss;
}

std::string SummaryLine(const SimSummary& s) {
  const SimTotals& d = s.delivered;
  return "summary: frames=" + std::to_string(d.frames) +
         " error_frames=" + std::to_string(d.errorFrames) +
         " packets=" + std::to_string(d.packets) + " ucerr=" + std::to_string(d.ucErr) +
         " cerr=" + std::to_string(d.cErr) + " syncloss=" + std::to_string(d.syncLoss) +
         " lost_frames=" + std::to_string(s.lost.frames) +
         " noise_units=" + std::to_string(s.noiseUnits) + " bytes=" + std::to_string(s.bytes);
}

}  // namespace linkwatch::sim
