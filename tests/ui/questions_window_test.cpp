#include <gtest/gtest.h>
#include <sys/resource.h>

#include <QApplication>
#include <QFileDialog>

#include <algorithm>

#include "frames.h"
#include "ui/one_line_list.h"
#include "window_fixture.h"

namespace linkwatch::testing {
namespace {

// Waits, inside the open box's own loop, until something else closes it.
void WaitUntilClosed(QWidget& box) {
  EXPECT_TRUE(QTest::qWaitFor([&] { return !box.isVisible(); }, 10000)) << "still open";
}

int OpenMessageBoxes() {
  const auto widgets = QApplication::topLevelWidgets();
  return static_cast<int>(std::count_if(widgets.begin(), widgets.end(), [](QWidget* w) {
    return qobject_cast<QMessageBox*>(w) != nullptr && w->isVisible();
  }));
}

// The duration ends the test while "Stop Test?" is open: the question goes
// away by itself, and the test is stopped once.
TEST_F(WindowTest, TheDurationEndingClosesAnOpenStopQuestion) {
  Init();
  dlg.SetDuration(1);
  StartTest();
  answerer.Handle(WaitUntilClosed);
  Get<QAbstractButton>(IDC_STOP)->click();
  EXPECT_FALSE(dlg.IsRunning());
  EXPECT_EQ(dlg.Results().Count(), 2u);  // the start row and one final row
  EXPECT_EQ(Get<OneLineList>(IDC_STOP_TIME)->count(), 1);
  EXPECT_TRUE(window.isVisible());
}

// The same under the exit question: it goes, and leaving is asked about anew.
TEST_F(WindowTest, TheDurationEndingUnderTheExitQuestionAsksAgainWhetherToExit) {
  Init();
  dlg.SetDuration(1);
  StartTest();
  answerer.Handle(WaitUntilClosed);
  answerer.Answer(QMessageBox::Yes);
  QTimer::singleShot(15000, &window, [this] { window.done(99); });  // never hang
  QTimer::singleShot(0, &window, [this] { window.reject(); });      // Escape
  EXPECT_EQ(window.exec(), IDCANCEL);
  ASSERT_EQ(answerer.Seen().size(), 1u);
  EXPECT_EQ(answerer.Seen()[0].text, "Exit Application?");
  EXPECT_EQ(dlg.Results().Count(), 2u);
}

TEST_F(WindowTest, OnlyAnOpenQuestionCanBeDismissed) {
  Init();
  EXPECT_FALSE(window.DismissQuestion());  // none open
  answerer.Handle([this](QWidget&) { EXPECT_FALSE(window.DismissQuestion()); });
  answerer.Answer(QMessageBox::Ok);  // the OK box stays until answered
  window.MessageBox("Cannot Open COM1", BoxKind::Ok, {});
  bool dismissed = false;
  answerer.Handle([&](QWidget&) { dismissed = window.DismissQuestion(); });
  EXPECT_EQ(window.MessageBox("Stop Test?", BoxKind::YesNoAsk, {}), BoxAnswer::No);
  EXPECT_TRUE(dismissed);
}

// A log failure while "Stop Test?" is open is told after the answer, never in
// a box over the question.
TEST_F(WindowTest, ALogNoticeWaitsForTheOpenQuestion) {
  Init();
  StartTest();
  rlimit saved{};
  ::getrlimit(RLIMIT_FSIZE, &saved);
  int boxesOverQuestion = -1;
  answerer.Handle([&](QWidget& question) {
    rlimit limit = saved;
    limit.rlim_cur = ReadFile(dir.File("log.txt")).size();
    ::setrlimit(RLIMIT_FSIZE, &limit);
    serial.Push(EncodeFrame({0, 1, 0, 0}));
    EXPECT_TRUE(QTest::qWaitFor([&] { return dlg.LogFailures() > 0; }, 10000));
    QTest::qWait(50);  // let a box that was opened show itself
    boxesOverQuestion = OpenMessageBoxes() - 1;
    qobject_cast<QMessageBox*>(&question)->button(QMessageBox::No)->click();
  });
  answerer.Answer(QMessageBox::Ok);  // the notice, once the question is gone
  Get<QAbstractButton>(IDC_STOP)->click();
  ::setrlimit(RLIMIT_FSIZE, &saved);
  EXPECT_EQ(boxesOverQuestion, 0);
  ASSERT_TRUE(QTest::qWaitFor([&] { return answerer.Idle(); }, 5000));
  ASSERT_EQ(answerer.Seen().size(), 1u);
  EXPECT_TRUE(answerer.Seen()[0].text.contains("File too large"))
      << answerer.Seen()[0].text.toStdString();
  EXPECT_TRUE(dlg.IsRunning());
  dlg.StopTest();
}

// A log that cannot be created where it is leads on to the save dialog.
TEST_F(WindowTest, ALogThatCannotBeCreatedOffersTheSaveDialog) {
  Init();
  const std::string unwritable = dir.File("removed/results.txt");
  dlg.SetLogPath(unwritable);
  answerer.Answer(QMessageBox::Ok);
  answerer.Handle([&](QWidget& widget) {
    auto* dialog = qobject_cast<QFileDialog*>(&widget);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->windowTitle(), "Select Log File");
    dialog->setDirectory(QString::fromStdString(dir.Path().string()));
    dialog->selectFile("elsewhere");
    QMetaObject::invokeMethod(dialog, "accept");
  });
  Get<QAbstractButton>(IDC_START)->click();
  ASSERT_EQ(answerer.Seen().size(), 1u);
  EXPECT_EQ(answerer.Seen()[0].text.toStdString(), "Cannot open " + unwritable);
  EXPECT_TRUE(dlg.IsRunning());
  EXPECT_EQ(dlg.LogPath(), dir.File("elsewhere.txt"));
  EXPECT_EQ(Get<QLabel>(IDC_LOG_FILE)->text().toStdString(), dlg.LogDisplay());
  dlg.StopTest();
  EXPECT_TRUE(ReadFile(dir.File("elsewhere.txt")).starts_with("   Date"));
}

}  // namespace
}  // namespace linkwatch::testing
