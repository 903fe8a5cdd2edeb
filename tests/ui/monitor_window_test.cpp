#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QListWidget>
#include <QTimer>

#include <filesystem>

#include "frames.h"
#include "record/log_path.h"
#include "ui/dialog_font.h"
#include "ui/qt_text.h"
#include "window_fixture.h"

namespace linkwatch::testing {
namespace {

QStringList ListTexts(const QListWidget& list) {
  QStringList texts;
  for (int i = 0; i < list.count(); ++i) texts << list.item(i)->text();
  return texts;
}

TEST_F(WindowTest, StartsIdleWithContinuousDurationAndTheDefaultLogInTheWorkingDirectory) {
  // A deep folder whose name is also markup: the display must be shortened
  // and show '<' and '&' as they are.
  const std::filesystem::path folder =
      dir.Path() / "a folder with <b>bold</b> & other marks in its name";
  std::filesystem::create_directories(folder);
  const WorkingDir cwd(folder.string());
  Init();

  EXPECT_EQ(dlg.LogPath(), folder.string() + "/results.txt");
  auto* log = Get<QLabel>(IDC_LOG_FILE);
  EXPECT_EQ(log->text(), ToQString(dlg.LogDisplay()));
  EXPECT_EQ(log->text(), ToQString(ShortenedLogDisplay(folder.string() + "/results.txt")));
  EXPECT_TRUE(log->text().endsWith("/.../results.txt")) << log->text().toStdString();
  EXPECT_EQ(log->textFormat(), Qt::PlainText);

  EXPECT_TRUE(Item(IDM_COM1)->isChecked());
  for (unsigned other : {IDM_COM2, IDM_COM3, IDM_COM4}) EXPECT_FALSE(Item(other)->isChecked());
  EXPECT_EQ(dlg.ComPort(), 1);

  auto* duration = Get<QComboBox>(IDC_DURATION);
  EXPECT_EQ(duration->currentIndex(), 0);
  EXPECT_EQ(duration->currentText(), "Continuous");
  EXPECT_EQ(duration->count(), 10);
  EXPECT_EQ(duration->itemText(9), "1 week");
  EXPECT_EQ(dlg.Duration(), 0);

  EXPECT_FALSE(Get<QAbstractButton>(IDC_START)->isChecked());
  EXPECT_TRUE(Get<QWidget>(IDC_START)->isVisible());
  EXPECT_FALSE(Get<QWidget>(IDC_STOP)->isVisible());
  EXPECT_FALSE(Get<QWidget>(IDC_ELAPSED_GROUP)->isEnabled());
  EXPECT_FALSE(Get<QWidget>(IDC_ELAPSED)->isEnabled());
  for (int id : {IDC_START_TIME, IDC_STOP_TIME, IDC_ELAPSED}) {
    EXPECT_EQ(Get<QListWidget>(id)->count(), 0) << id;
  }
  EXPECT_EQ(QApplication::focusWidget(), duration);
  EXPECT_EQ(window.windowTitle(), "RKV-3520");
}

TEST_F(WindowTest, ChoosingADurationFromTheListSetsIt) {
  Init();
  auto* duration = Get<QComboBox>(IDC_DURATION);
  duration->setFocus();
  QTest::keyClick(duration, Qt::Key_Down);  // to "15 minutes", as the user would
  EXPECT_EQ(duration->currentIndex(), 1);
  EXPECT_EQ(dlg.Duration(), 900);
}

// What leaving the window asks, and what each answer does.
struct ExitCase {
  const char* name;
  bool byClose;  // the window's close button rather than Escape
  QMessageBox::StandardButton answer;
  bool ends;
};

class ExitTest : public WindowTest, public ::testing::WithParamInterface<ExitCase> {};

TEST_P(ExitTest, AsksBeforeItEnds) {
  Init();
  const ExitCase& c = GetParam();
  window.setResult(-1);
  answerer.Answer(c.answer);
  if (c.byClose) {
    window.close();
  } else {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
  }
  ASSERT_EQ(answerer.Seen().size(), 1u);
  EXPECT_EQ(answerer.Seen()[0].text, "Exit Application?");
  EXPECT_EQ(answerer.Seen()[0].icon, QMessageBox::Question);
  EXPECT_EQ(answerer.Seen()[0].buttons, QMessageBox::Yes | QMessageBox::No);
  EXPECT_EQ(window.isVisible(), !c.ends);
  EXPECT_EQ(window.result(), c.ends ? IDCANCEL : -1);
}

INSTANTIATE_TEST_SUITE_P(EscapeOrClose, ExitTest,
                         ::testing::Values(ExitCase{"EscapeYes", false, QMessageBox::Yes, true},
                                           ExitCase{"EscapeNo", false, QMessageBox::No, false},
                                           ExitCase{"CloseYes", true, QMessageBox::Yes, true},
                                           ExitCase{"CloseNo", true, QMessageBox::No, false}),
                         [](const ::testing::TestParamInfo<ExitCase>& info) {
                           return std::string(info.param.name);
                         });

TEST_F(WindowTest, TheModalRunEndsOnlyWithAConfirmedExit) {
  Init();
  // No first, then Yes: exec must survive the first question.
  answerer.Answer(QMessageBox::No);
  answerer.Answer(QMessageBox::Yes);
  QTimer::singleShot(0, &window, [this] {
    QTest::keyClick(&window, Qt::Key_Escape);
    QTest::keyClick(&window, Qt::Key_Escape);
  });
  QTimer::singleShot(5000, &window, [this] { window.done(99); });  // never hang
  EXPECT_EQ(window.exec(), IDCANCEL);
  EXPECT_EQ(answerer.Seen().size(), 2u);
}

TEST_F(WindowTest, EnterWithTheFocusElsewhereDoesNothing) {
  Init();
  auto* duration = Get<QComboBox>(IDC_DURATION);
  ASSERT_TRUE(duration->hasFocus());
  for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) QTest::keyClick(duration, key);
  QTest::keyClick(&window, Qt::Key_Return);
  EXPECT_FALSE(dlg.IsRunning());
  EXPECT_EQ(serial.opens, 0);
  EXPECT_TRUE(window.isVisible());
  EXPECT_TRUE(answerer.Seen().empty());
}

TEST_F(WindowTest, EnterOnStartRunsATestAndStopEndsIt) {
  Init();
  dlg.SetLogPath(dir.File("log.txt"));
  auto* start = Get<QAbstractButton>(IDC_START);
  start->setFocus();
  ASSERT_TRUE(start->hasFocus());
  QTest::keyClick(start, Qt::Key_Return);

  ASSERT_TRUE(dlg.IsRunning());
  EXPECT_TRUE(start->isChecked());
  EXPECT_TRUE(Get<QWidget>(IDC_STOP)->isVisible());
  EXPECT_FALSE(Get<QWidget>(IDC_DURATION)->isEnabled());
  EXPECT_TRUE(Get<QWidget>(IDC_ELAPSED)->isEnabled());
  EXPECT_EQ(ListTexts(*Get<QListWidget>(IDC_ELAPSED)), QStringList{"00d-00h-00m-00s"});
  EXPECT_EQ(Get<QListWidget>(IDC_START_TIME)->count(), 1);
  EXPECT_EQ(serial.openedPort, 1);
  EXPECT_EQ(serial.openedBaud, 9600);
  EXPECT_TRUE(window.Timers().IsActive(ID_TICK_TIMER));
  EXPECT_EQ(window.Timers().Interval(ID_TICK_TIMER), 1000);
  auto* results = Get<QAbstractItemView>(IDC_RESULTS);
  ASSERT_EQ(results->model()->rowCount(), 1);
  EXPECT_EQ(results->model()->index(0, 2).data().toString(), "        0");

  answerer.Answer(QMessageBox::Yes);
  Get<QAbstractButton>(IDC_STOP)->click();
  EXPECT_EQ(answerer.Seen().at(0).text, "Stop Test?");
  EXPECT_FALSE(dlg.IsRunning());
  EXPECT_FALSE(start->isChecked());
  EXPECT_FALSE(Get<QWidget>(IDC_STOP)->isVisible());
  EXPECT_FALSE(window.Timers().IsActive(ID_TICK_TIMER));
  EXPECT_FALSE(serial.opened);
  EXPECT_EQ(results->model()->rowCount(), 2);
  EXPECT_EQ(Get<QListWidget>(IDC_STOP_TIME)->count(), 1);
  EXPECT_NE(ReadFile(dir.File("log.txt")).find("SyncLoss"), std::string::npos);
}

struct EnterKey {
  const char* name;
  Qt::Key key;
  Qt::KeyboardModifiers modifiers;
};

// Return, the main keyboard's Enter and the keypad's Enter are all Enter: on
// START it starts a test, on STOP it asks before it stops the test.
TEST_F(WindowTest, EveryEnterKeyStartsOnStartAndStopsOnStop) {
  const EnterKey keys[] = {{"Return", Qt::Key_Return, Qt::NoModifier},
                           {"Enter", Qt::Key_Enter, Qt::NoModifier},
                           {"keypad Enter", Qt::Key_Enter, Qt::KeypadModifier}};
  Init();
  auto* start = Get<QAbstractButton>(IDC_START);
  auto* stop = Get<QAbstractButton>(IDC_STOP);
  for (const EnterKey& k : keys) {
    dlg.SetLogPath(dir.File(std::string(k.name) + ".txt"));  // new: nothing to overwrite
    // Active again after the last round's question.
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    start->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), start) << k.name;
    QTest::keyClick(start, k.key, k.modifiers);
    ASSERT_TRUE(dlg.IsRunning()) << k.name << " on START";

    stop->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), stop) << k.name;
    const std::size_t asked = answerer.Seen().size();
    answerer.Answer(QMessageBox::Yes);
    QTest::keyClick(stop, k.key, k.modifiers);
    ASSERT_EQ(answerer.Seen().size(), asked + 1) << k.name << " on STOP asks nothing";
    EXPECT_EQ(answerer.Seen().back().text, "Stop Test?") << k.name;
    EXPECT_FALSE(dlg.IsRunning()) << k.name << " on STOP";
  }
}

TEST_F(WindowTest, AClickOnStartNeverChangesItsStateByItself) {
  Init();
  auto* start = Get<QAbstractButton>(IDC_START);
  // A port that cannot be opened: the click runs the start, which fails.
  serial.failOpen = true;
  dlg.SetLogPath(dir.File("log.txt"));
  answerer.Answer(QMessageBox::Ok);
  QTest::mouseClick(start, Qt::LeftButton);
  EXPECT_EQ(answerer.Seen().at(0).text, "Cannot Open COM1");
  EXPECT_FALSE(start->isChecked());

  // Running, START is pressed; a click on it must not release it.
  serial.failOpen = false;
  answerer.Answer(QMessageBox::Yes);  // "Overwrite Existing File?"
  QTest::mouseClick(start, Qt::LeftButton);
  ASSERT_TRUE(dlg.IsRunning());
  QTest::mouseClick(start, Qt::LeftButton);
  EXPECT_TRUE(start->isChecked());
  EXPECT_TRUE(dlg.IsRunning());
}

TEST_F(WindowTest, EachTickReachesTheDialog) {
  Init();
  StartTest();
  serial.Push(EncodeFrame({.packets = 100, .ucErr = 1, .cErr = 0, .syncLoss = 0}));
  // The dialog's own timer, run fast rather than once a second.
  window.SetTimer(ID_TICK_TIMER, 1);
  auto* model = Get<QAbstractItemView>(IDC_RESULTS)->model();
  ASSERT_TRUE(QTest::qWaitFor([&] { return model->rowCount() == 2; }, 3000));
  EXPECT_EQ(model->index(0, 2).data().toString(), "      100");
  EXPECT_EQ(model->index(0, 3).data().toString(), "        1");
  window.KillTimer(ID_TICK_TIMER);
}

TEST_F(WindowTest, TabFollowsTheTemplateOrderAndSkipsHiddenControls) {
  Init();
  auto* duration = Get<QWidget>(IDC_DURATION);
  auto* stop = Get<QWidget>(IDC_STOP);
  auto* start = Get<QWidget>(IDC_START);
  duration->setFocus();
  QTest::keyClick(duration, Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), start);

  window.ShowControl(IDC_STOP, true);
  duration->setFocus();
  QTest::keyClick(duration, Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), stop);
  QTest::keyClick(stop, Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), start);
}

// Control positions in dialog units, as the window template gives them.
struct Placement {
  int id;
  DluRect rect;
};

TEST_F(WindowTest, ControlsSitWhereTheTemplatePutsThemInDialogUnits) {
  Init();
  // The units come from the dialog font: average width of A-Z a-z, height.
  const QFontMetrics metrics(window.font());
  const int letters =
      metrics.horizontalAdvance("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
  ASSERT_EQ(window.Units().x, (letters / 26 + 1) / 2);
  ASSERT_EQ(window.Units().y, metrics.height());
  ASSERT_EQ(window.font().family(), DialogFont().family());

  const auto px = [&](const DluRect& r) { return ToPixels(r, window.Units()); };
  EXPECT_EQ(window.size(), px({0, 0, 320, 228}).size());
  const Placement placements[] = {
      {IDC_START, {30, 10, 54, 19}},      {IDC_STOP, {110, 10, 55, 19}},
      {IDC_ELAPSED, {215, 34, 77, 13}},   {IDC_START_GROUP, {109, 70, 86, 32}},
      {IDC_STOP_TIME, {213, 83, 75, 13}}, {IDC_RESULTS, {8, 105, 305, 115}},
      {IDC_LOG_FILE, {22, 51, 170, 12}},
  };
  for (const Placement& p : placements) {
    EXPECT_EQ(Get<QWidget>(p.id)->geometry(), px(p.rect)) << p.id;
  }
  // The drop-down list keeps its corner and width; its height is the font's.
  const QRect combo = Get<QWidget>(IDC_DURATION)->geometry();
  EXPECT_EQ(combo.topLeft(), px({21, 81, 71, 65}).topLeft());
  EXPECT_EQ(combo.width(), px({21, 81, 71, 65}).width());

  // Group boxes are bare frames: every control is the window's own child.
  for (QGroupBox* group : window.findChildren<QGroupBox*>()) {
    EXPECT_TRUE(group->findChildren<QWidget*>().isEmpty()) << group->title().toStdString();
  }
  for (int id : {IDC_ELAPSED, IDC_START_TIME, IDC_STOP_TIME, IDC_DURATION, IDC_LOG_FILE}) {
    EXPECT_EQ(Get<QWidget>(id)->parentWidget(), &window) << id;
  }
  // The menu icon fits in the corner without covering a control.
  for (QWidget* child : window.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    if (child == &window.MenuButton() || !child->isVisible()) continue;
    EXPECT_FALSE(child->geometry().intersects(window.MenuButton().geometry()))
        << child->metaObject()->className();
  }
}

TEST_F(WindowTest, EndingFromOutsideDismissesTheOpenBoxAndCompletesTheLog) {
  Init();
  StartTest();
  // A termination request arrives while "Stop Test?" is open.
  answerer.Handle([this](QWidget&) { window.EndFromOutside(); });
  QTimer::singleShot(5000, &window, [this] { window.done(99); });  // never hang
  QTimer::singleShot(0, &window, [this] { Get<QAbstractButton>(IDC_STOP)->click(); });
  EXPECT_EQ(window.exec(), IDCANCEL);

  EXPECT_FALSE(dlg.IsRunning());
  EXPECT_FALSE(serial.opened);
  EXPECT_EQ(dlg.Results().Count(), 2u);  // the start row and the final row
  const std::string log = ReadFile(dir.File("log.txt"));
  EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 2) << log;  // header, start row, final row
}

}  // namespace
}  // namespace linkwatch::testing
