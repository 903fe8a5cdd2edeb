#include <QApplication>

#include <signal.h>

#include <cstdio>

#include "app/monitor_app.h"
#include "app/termination_signals.h"

int main(int argc, char* argv[]) {
  // A file-size limit must reach the log writer as EFBIG, which it reports,
  // not end a week-long test.
  ::signal(SIGXFSZ, SIG_IGN);
  // First of all, so that a signal sent right after start-up is not lost.
  linkwatch::TerminationSignals endSignals;
  if (!endSignals.Error().empty())
    std::fprintf(stderr, "linkwatch: %s\n", endSignals.Error().c_str());

  QApplication app(argc, argv);
  QCoreApplication::setApplicationVersion(QStringLiteral(LINKWATCH_VERSION));
  // Lets the desktop match the window to its installed entry and icon.
  QGuiApplication::setDesktopFileName(QStringLiteral("org.linkwatch.linkwatch"));
  linkwatch::CMonitorApp theApp;
  theApp.InitInstance(&endSignals);
  return 0;
}
