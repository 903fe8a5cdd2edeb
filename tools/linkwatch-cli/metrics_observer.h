#pragma once

#include <cstdint>
#include <string>

#include "base/seconds.h"
#include "control/monitor_events.h"

namespace linkwatch::cli {

// The figures one scrape shows, for the test on one port.
struct MetricsFigures {
  std::string port;  // the port's name or the device's path
  bool running = false;
  bool lineUp = false;  // a running test's line is not declared lost
  Seconds elapsed = 0;
  std::uint64_t frames = 0;
  std::uint64_t errorFrames = 0;
  Totals counts;  // sums of the four counts of every frame so far
  std::uint64_t lineLosses = 0;
  std::uint64_t logWriteFailures = 0;
};

// Keeps the figures of the test as the dialog tells its events. Counters only
// ever grow, as Prometheus expects within one process.
class MetricsObserver : public IMonitorObserver {
 public:
  explicit MetricsObserver(std::string port) { m_figures.port = std::move(port); }

  const MetricsFigures& Figures() const { return m_figures; }

  void OnTestStarted(const TestStarted& started) override;
  void OnRowAdded(const TableRow& row) override;
  void OnTick(const TickRecord& tick) override;
  void OnLineLost(Seconds tPoll) override;
  void OnLogWriteFailed(const LogFailure& failure) override;
  void OnTestStopped(StopReason why, Seconds stop) override;

 private:
  MetricsFigures m_figures;
  // Result rows are error frames, but for the start row and the final row:
  // the start row is the first after the start, and error rows come within a
  // tick, so they are counted when its record follows; the final row is
  // followed by none.
  bool m_bStartRowDue = false;
  std::uint64_t m_nRowsThisTick = 0;
};

}  // namespace linkwatch::cli
