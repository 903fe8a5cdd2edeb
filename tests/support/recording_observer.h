#pragma once

#include <string>
#include <vector>

#include "control/monitor_events.h"

namespace linkwatch::testing {

// Records every event the dialog tells, and their order as short names.
class RecordingObserver : public IMonitorObserver {
 public:
  void OnTestStarted(const TestStarted& s) override {
    started.push_back(s);
    order.push_back("started");
  }
  void OnStartFailed(const StartFailure& f) override {
    startFailures.push_back(f);
    order.push_back("start failed");
  }
  void OnRowAdded(const TableRow& row) override {
    rows.push_back(row);
    order.push_back("row");
  }
  void OnTick(const TickRecord& tick) override {
    ticks.push_back(tick);
    order.push_back("tick");
  }
  void OnLineLost(Seconds t) override {
    lost.push_back(t);
    order.push_back("lost");
  }
  void OnLineBack(Seconds t) override {
    back.push_back(t);
    order.push_back("back");
  }
  void OnLogWriteFailed(const LogFailure& f) override {
    logFailures.push_back(f);
    order.push_back("log failed");
  }
  void OnLogRecovered() override {
    ++logRecoveries;
    order.push_back("log recovered");
  }
  void OnTestStopped(StopReason why, Seconds t) override {
    stops.push_back({why, t});
    order.push_back("stopped");
  }

  struct Stop {
    StopReason why;
    Seconds time;
  };
  std::vector<TestStarted> started;
  std::vector<StartFailure> startFailures;
  std::vector<TableRow> rows;
  std::vector<TickRecord> ticks;
  std::vector<Seconds> lost, back;
  std::vector<LogFailure> logFailures;
  int logRecoveries = 0;
  std::vector<Stop> stops;
  std::vector<std::string> order;
};

}  // namespace linkwatch::testing
