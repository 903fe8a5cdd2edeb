#include "cli_run.h"

#include <poll.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <memory>
#include <string>

#include "base/sys_error.h"
#include "console.h"
#include "control/monitor_dlg.h"
#include "control/monitor_events.h"
#include "control/resource.h"
#include "control/stamp_texts.h"
#include "exit_codes.h"
#include "link/serial_port.h"
#include "metrics_observer.h"
#include "metrics_server.h"
#include "metrics_text.h"
#include "output_sink.h"
#include "signal_watch.h"
#include "status_line.h"
#include "system/sleep_inhibitor.h"
#include "terminal_platform.h"
#include "yes_no_prompt.h"

namespace linkwatch::cli {

namespace {

constexpr const char* kProgram = "linkwatch-cli: ";

int TerminalWidth() {
  winsize ws{};
  if (::ioctl(STDERR_FILENO, TIOCGWINSZ, &ws) != 0 || ws.ws_col < 2) return 0;
  return ws.ws_col - 1;  // the last column would wrap on some terminals
}

// Standard input is a terminal, and not one this process runs in the
// background of: reading there would stop it (SIGTTIN) without a word.
bool AnswerCanBeTyped() {
  if (::isatty(STDIN_FILENO) != 1) return false;
  const pid_t foreground = ::tcgetpgrp(STDIN_FILENO);
  return foreground == -1 || foreground == ::getpgrp();
}

// What the test told: why it did not start, how far it has run, and whether
// its log failed. The exit status is made from these facts alone.
class RunFacts : public IMonitorObserver {
 public:
  void OnStartFailed(const StartFailure& failure) override { startFailure = failure; }
  void OnTestStarted(const TestStarted&) override { elapsed = 0; }
  void OnTick(const TickRecord& tick) override { elapsed = tick.elapsed; }
  void OnLogWriteFailed(const LogFailure&) override { ++logFailures; }

  StartFailure startFailure;
  Seconds elapsed = 0;
  int logFailures = 0;
};

void ShowStatus(Console& console, const RunFacts& facts, const CMonitorDlg& dlg) {
  console.Status(StatusLine(ElapsedText(facts.elapsed), dlg.CurrentTotals(), TerminalWidth()));
}

// Why a start ended without a test. What went wrong is on standard error
// already, but for a log that was kept: nobody can pick another file here.
int FailedStart(Console& console, const StartFailure& failure) {
  switch (failure.code) {
    case StartError::Cancelled:
      console.Message(std::string(kProgram) + failure.subject + " exists and was not replaced.",
                      "Give --overwrite to replace it, or --log for another file.");
      return kExitLog;
    case StartError::Log:
      return kExitLog;
    case StartError::Port:
      return kExitPort;
    case StartError::None:
      break;
  }
  console.Message(std::string(kProgram) + "the test did not start.");
  return kExitFailure;
}

void SetDuration(CMonitorDlg& dlg, TerminalPlatform& platform, const ParsedDuration& d) {
  if (d.listIndex >= 0) {
    platform.ComboSetCurSel(IDC_DURATION, d.listIndex);
    dlg.OnSelchangeDuration();
  } else {
    dlg.SetDuration(d.seconds);
  }
}

// Output waiting for a slow reader is written when its stream can take it,
// never by waiting for it. A stream with nothing waiting is left out
// altogether: poll reports a gone reader's hang-up even when asked for
// nothing, and would never wait again.
pollfd WhenWritable(const FdSink& sink) {
  return {sink.Pending() ? sink.Fd() : -1, POLLOUT, 0};
}

void FlushIfReady(FdSink& sink, short revents) {
  if ((revents & (POLLOUT | POLLERR | POLLHUP)) != 0) sink.Flush();
}

// Ticks until the test stops, by its duration or by a signal. The metrics
// server, if any, is served from the same loop: it never waits, so no client
// can hold up a tick.
void RunTicks(CMonitorDlg& dlg, TerminalPlatform& platform, SignalWatch& signals, Console& console,
              const RunFacts& facts, FdSink& out, FdSink& err, MetricsServer* metrics) {
  ShowStatus(console, facts, dlg);
  while (dlg.IsRunning()) {
    pollfd fds[5] = {{signals.Fd(), POLLIN, 0},
                     {platform.Tick().Fd(), POLLIN, 0},
                     WhenWritable(out),
                     WhenWritable(err),
                     {metrics != nullptr ? metrics->Fd() : -1, POLLIN, 0}};
    const int timeout = metrics != nullptr ? metrics->TimeoutMs() : -1;
    if (::poll(fds, 5, timeout) < 0) {
      if (errno == EINTR) continue;
      console.Message(std::string(kProgram) + "waiting for the next tick failed: " +
                      SysErrorText(errno) + "; the test is stopped.");
      dlg.StopTest(StopReason::Stop);
      return;
    }
    if ((fds[0].revents & POLLIN) != 0 && signals.Take() != 0) {
      dlg.StopTest(StopReason::Signal);
      return;
    }
    if ((fds[1].revents & POLLIN) != 0 && platform.Tick().Take() != 0) {
      // Ticks missed while the process was held up count as one, as a
      // window's timer would deliver them: the elapsed time is the clock's.
      dlg.OnTimer(ID_TICK_TIMER);
      if (dlg.IsRunning()) ShowStatus(console, facts, dlg);
    }
    FlushIfReady(out, fds[2].revents);
    FlushIfReady(err, fds[3].revents);
    // Due after every wait, whatever woke it: MHD's own time-outs need it too.
    if (metrics != nullptr) metrics->Run();
  }
}

// How long the end of a run waits for a reader that takes nothing.
constexpr std::chrono::milliseconds kStallAtEnd{1000};

int Finish(Console& console, FdSink& out, FdSink& err, int status) {
  console.Finish();
  out.Drain(kStallAtEnd);
  err.Drain(kStallAtEnd);
  return status;
}

}  // namespace

int RunCli(const CliOptions& options) {
  SignalWatch signals;
  FdSink out(STDOUT_FILENO, "row");
  FdSink err(STDERR_FILENO, "message");
  Console console(out, err, ::isatty(STDOUT_FILENO) == 1, ::isatty(STDERR_FILENO) == 1);
  if (!signals.Error().empty()) {
    console.Message(kProgram + signals.Error());
    return Finish(console, out, err, kExitFailure);
  }

  const bool askOnTerminal = AnswerCanBeTyped();
  TerminalPlatform platform(console, [&](std::string_view question) {
    if (options.overwrite) return true;
    if (!askOnTerminal) return false;
    return AskYesNo(console, std::string(question) + " [y/N]", STDIN_FILENO, signals.Fd());
  });

  if (!options.device.empty()) {
    // COM1 stands for the device; messages and the log name the path.
    ::setenv("LINKWATCH_COM1", options.device.c_str(), 1);
  }
  CSerialPort serial;
  SleepInhibitor sleepLock;
  CMonitorDlg dlg(platform, serial, sleepLock);
  // Nothing here shows the table: rows leave memory as soon as they are in the log.
  dlg.Results().SetRowBound(0);
  RunFacts facts;
  dlg.AddObserver(&facts);
  dlg.OnInitDialog();
  if (!options.device.empty()) {
    dlg.SetPortName(options.device);
  } else if (options.port != dlg.ComPort()) {
    platform.SetMuted(true);
    dlg.SelectComPort(options.port);
    platform.SetMuted(false);
  }
  if (!options.logPath.empty()) dlg.SetLogPath(options.logPath);
  dlg.SetCsvEnabled(options.csv);
  SetDuration(dlg, platform, options.duration);

  // Bound before the start, so that an address that cannot be served leaves
  // the log as it was.
  MetricsObserver figures(dlg.PortName());
  std::unique_ptr<MetricsServer> metrics;
  if (options.metrics) {
    metrics = std::make_unique<MetricsServer>(
        *options.metrics, [&figures] { return RenderMetrics(figures.Figures()); });
    if (!metrics->Error().empty()) {
      console.Message(std::string(kProgram) + "cannot serve metrics at " + metrics->Where() + ": " +
                      metrics->Error() + ".");
      return Finish(console, out, err, kExitMetrics);
    }
    dlg.AddObserver(&figures);
    console.Message(std::string(kProgram) + "serving metrics at http://" + metrics->Where() +
                    "/metrics");
  }

  dlg.OnStart();
  if (!dlg.IsRunning()) {
    return Finish(console, out, err, FailedStart(console, facts.startFailure));
  }
  if (!platform.Tick().Running()) {
    console.Message(std::string(kProgram) + "cannot set the one-second timer: " +
                    SysErrorText(platform.TimerError()) + "; the test is stopped.");
    dlg.StopTest(StopReason::Stop);
    return Finish(console, out, err, kExitFailure);
  }
  RunTicks(dlg, platform, signals, console, facts, out, err, metrics.get());
  return Finish(console, out, err, facts.logFailures != 0 ? kExitLogWrite : kExitOk);
}

}  // namespace linkwatch::cli
