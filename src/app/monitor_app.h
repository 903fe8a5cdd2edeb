#pragma once

namespace linkwatch {

class TerminationSignals;

// The program: one main dialog, run until the user leaves it.
class CMonitorApp {
 public:
  // Runs the main dialog modally and returns when it has ended; the program
  // ends then. endSignals, when given, end the dialog as a confirmed exit would,
  // without asking. Always false: there is nothing more to run.
  bool InitInstance(TerminationSignals* endSignals = nullptr);
};

}  // namespace linkwatch
