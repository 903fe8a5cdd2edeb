#include <gtest/gtest.h>
#include <signal.h>

#include <QApplication>
#include <QTest>
#include <QTimer>

#include "app/monitor_app.h"
#include "app/termination_signals.h"
#include "modal_answerer.h"
#include "temp_dir.h"
#include "ui/monitor_window.h"
#include "window_fixture.h"

namespace linkwatch::testing {
namespace {

// The program's window while InitInstance runs it.
MonitorWindow* RunningWindow() {
  return qobject_cast<MonitorWindow*>(QApplication::activeModalWidget());
}

bool AnyWindowLeft() {
  for (QWidget* top : QApplication::topLevelWidgets()) {
    if (top->isVisible()) return true;
  }
  return false;
}

TEST(CMonitorApp, RunsTheWindowUntilTheUserLeavesAndLeavesNoWindowBehind) {
  TempDir dir;
  const WorkingDir cwd(dir.Path().string());
  ModalAnswerer answerer;
  answerer.Answer(QMessageBox::Yes);
  bool sawWindow = false;
  QTimer::singleShot(0, [&] {
    MonitorWindow* window = RunningWindow();
    sawWindow = window != nullptr && window->isVisible();
    if (window != nullptr) QTest::keyClick(window, Qt::Key_Escape);
  });
  EXPECT_FALSE(CMonitorApp().InitInstance());
  EXPECT_TRUE(sawWindow);
  ASSERT_EQ(answerer.Seen().size(), 1u);
  EXPECT_EQ(answerer.Seen()[0].text, "Exit Application?");
  EXPECT_FALSE(AnyWindowLeft());
}

TEST(CMonitorApp, ATerminationSignalEndsItWithoutAQuestion) {
  TempDir dir;
  const WorkingDir cwd(dir.Path().string());
  TerminationSignals endSignals;
  ASSERT_EQ(endSignals.Error(), "");
  ModalAnswerer answerer;  // fails the test if anything asks
  QTimer::singleShot(0, [] { ::raise(SIGTERM); });
  EXPECT_FALSE(CMonitorApp().InitInstance(&endSignals));
  EXPECT_TRUE(answerer.Seen().empty());
  EXPECT_FALSE(AnyWindowLeft());
}

}  // namespace
}  // namespace linkwatch::testing
