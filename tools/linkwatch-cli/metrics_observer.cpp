#include "metrics_observer.h"

namespace linkwatch::cli {

void MetricsObserver::OnTestStarted(const TestStarted& started) {
  if (!started.port.empty()) m_figures.port = started.port;
  m_figures.running = true;
  m_figures.lineUp = true;
  m_figures.elapsed = 0;
  m_bStartRowDue = true;
  m_nRowsThisTick = 0;
}

void MetricsObserver::OnRowAdded(const TableRow& row) {
  if (row.GetKind() != TableRow::Kind::Result) return;
  if (m_bStartRowDue) {
    m_bStartRowDue = false;
    return;
  }
  ++m_nRowsThisTick;
}

void MetricsObserver::OnTick(const TickRecord& tick) {
  m_figures.elapsed = tick.elapsed;
  m_figures.lineUp = tick.line != LineState::Lost;
  m_figures.frames += tick.frames;
  m_figures.errorFrames += m_nRowsThisTick;
  m_nRowsThisTick = 0;
  m_figures.counts.packets += tick.counts.packets;
  m_figures.counts.ucErr += tick.counts.ucErr;
  m_figures.counts.cErr += tick.counts.cErr;
  m_figures.counts.syncLoss += tick.counts.syncLoss;
}

void MetricsObserver::OnLineLost(Seconds /*tPoll*/) {
  ++m_figures.lineLosses;
  m_figures.lineUp = false;
}

void MetricsObserver::OnLogWriteFailed(const LogFailure& /*failure*/) {
  ++m_figures.logWriteFailures;
}

void MetricsObserver::OnTestStopped(StopReason /*why*/, Seconds /*stop*/) {
  m_figures.running = false;
  m_figures.lineUp = false;  // the port is closed
  m_nRowsThisTick = 0;       // the final row
}

}  // namespace linkwatch::cli
