#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "base/failure.h"
#include "base/seconds.h"
#include "base/totals.h"
#include "link/serial_link.h"
#include "record/results_table.h"

namespace linkwatch {

// What happened in a test, in the test's own terms, for front ends that act
// on facts (a terminal's exit status, a status line, a per-second record,
// metrics). The texts a person reads go through IPlatform instead, and no
// front end needs to read them back.

struct TestStarted {
  std::string port;     // "COM<n>", or the device path a front end set
  std::string logPath;  // the log's full path
  int duration = 0;     // seconds; 0 for a continuous test
  Seconds start = 0;    // calendar time of the start
};

enum class StartError {
  None,
  Cancelled,  // the log existed and the user kept it: no file was chosen
  Log,        // the log could not be created or held; errno and path
  Port,       // the port could not be opened; see `port`
};

// For StartError::Port, the facts are the port's own failure.
using StartFailure = Failure<StartError, SerialFailure>;

// How the serial line was during one tick.
enum class LineState {
  Up,     // bytes arrived
  Quiet,  // none arrived, and no loss is declared (yet)
  Lost,   // the loss is declared: from the "Lost" row up to the "Back" row
};

// One polled second of a running test: what its frames carried.
struct TickRecord {
  Seconds time = 0;     // calendar time at the start of the poll
  Seconds elapsed = 0;  // since the start, as "Time Elapsed" shows it
  Totals counts;        // sums of the counts of this tick's frames
  std::uint32_t frames = 0;
  LineState line = LineState::Up;
};

enum class StopReason {
  Stop,      // the STOP button, or a front end's stop
  Duration,  // the chosen duration was reached
  Exit,      // the program is left while the test runs
  Signal,    // the system asked the program to end
};

struct LogFailure {
  int sysErrno = 0;
  std::size_t keptBytes = 0;       // text kept to write when the file works again
  std::uint64_t droppedLines = 0;  // lines beyond the keeping bound, lost
};

// Any number of observers may listen; each is told synchronously, on the one
// thread, in the order the dialog does things. An observer must not call back
// into the dialog's handlers.
class IMonitorObserver {
 public:
  virtual ~IMonitorObserver() = default;

  virtual void OnTestStarted(const TestStarted& /*started*/) {}
  virtual void OnStartFailed(const StartFailure& /*failure*/) {}
  // Every row, as it goes into the table and the log.
  virtual void OnRowAdded(const TableRow& /*row*/) {}
  // Once per polled tick, after its rows.
  virtual void OnTick(const TickRecord& /*tick*/) {}
  virtual void OnLineLost(Seconds /*tPoll*/) {}
  virtual void OnLineBack(Seconds /*tPoll*/) {}
  // A write or sync of the log failed; told for every failure, not only the
  // first of an episode.
  virtual void OnLogWriteFailed(const LogFailure& /*failure*/) {}
  // Writing works again after failures; the kept text is in the file.
  virtual void OnLogRecovered() {}
  // The test stopped; its last row is in the table and the log is closed.
  virtual void OnTestStopped(StopReason /*why*/, Seconds /*stop*/) {}
};

}  // namespace linkwatch
