#include <QApplication>
#include <QContextMenuEvent>
#include <QGroupBox>
#include <QLabel>

#include "frames.h"
#include "window_fixture.h"

namespace linkwatch::testing {
namespace {

QStringList MenuTexts(const QMenu& menu) {
  QStringList texts;
  for (const QAction* action : menu.actions())
    texts << (action->isSeparator() ? "-" : action->text());
  return texts;
}

TEST_F(WindowTest, TheMenuHoldsTheWindowCommandsThenThePortsAndAbout) {
  Init();
  EXPECT_EQ(MenuTexts(window.Menu()),
            (QStringList{"&Restore", "Mi&nimize", "Ma&ximize", "&Close", "-", "COM1", "COM2",
                         "COM3", "COM4", "-", "&About linkwatch..."}));
  // Only what the window's state allows: a normal window cannot be restored.
  emit window.Menu().aboutToShow();
  EXPECT_FALSE(window.Menu().WindowAction(WindowCommand::Restore)->isEnabled());
  EXPECT_TRUE(window.Menu().WindowAction(WindowCommand::Maximize)->isEnabled());
}

TEST_F(WindowTest, ChoosingAPortMovesTheCheckMarkAndTellsTheUser) {
  Init();
  answerer.Answer(QMessageBox::Ok);
  Item(IDM_COM3)->trigger();
  ASSERT_EQ(answerer.Seen().size(), 1u);
  const SeenBox& box = answerer.Seen()[0];
  EXPECT_EQ(box.text, "COM3 selected");
  EXPECT_EQ(box.icon, QMessageBox::Warning);
  EXPECT_EQ(box.buttons, QMessageBox::Ok);
  EXPECT_EQ(box.title, "ui_tests");  // the program file's name
  EXPECT_FALSE(Item(IDM_COM1)->isChecked());
  EXPECT_TRUE(Item(IDM_COM3)->isChecked());
  EXPECT_EQ(dlg.ComPort(), 3);

  // Choosing it again: told again, nothing else changes.
  answerer.Answer(QMessageBox::Ok);
  Item(IDM_COM3)->trigger();
  EXPECT_EQ(answerer.Seen().at(1).text, "COM3 selected");
  EXPECT_TRUE(Item(IDM_COM3)->isChecked());
  for (unsigned other : {IDM_COM1, IDM_COM2, IDM_COM4}) EXPECT_FALSE(Item(other)->isChecked());

  // The next test opens the chosen port.
  StartTest();
  EXPECT_EQ(serial.openedPort, 3);
}

TEST_F(WindowTest, GreyingThePortsLeavesAboutAvailable) {
  Init();
  dlg.EnableComMenu(true);
  for (unsigned com : {IDM_COM1, IDM_COM2, IDM_COM3, IDM_COM4}) {
    EXPECT_FALSE(Item(com)->isEnabled()) << com;
  }
  EXPECT_TRUE(Item(IDM_ABOUTBOX)->isEnabled());
  EXPECT_TRUE(Item(IDM_COM1)->isChecked());

  dlg.EnableComMenu(false);
  for (unsigned com : {IDM_COM1, IDM_COM2, IDM_COM3, IDM_COM4}) {
    EXPECT_TRUE(Item(com)->isEnabled()) << com;
  }
  EXPECT_TRUE(Item(IDM_COM1)->isChecked());
}

TEST_F(WindowTest, AboutOpensItsBoxAndClosingItChangesNothing) {
  Init();
  StartTest();  // available during a test, which goes on meanwhile
  QString title;
  QStringList texts;
  bool wasModal = false;
  bool ticked = false;
  answerer.Handle([&](QWidget& box) {
    // The test goes on ticking while the box is open.
    serial.Push(EncodeFrame({.packets = 5, .ucErr = 0, .cErr = 2, .syncLoss = 0}));
    window.SetTimer(ID_TICK_TIMER, 1);
    ticked = QTest::qWaitFor([&] { return dlg.Results().Count() == 2; }, 3000);
    title = box.windowTitle();
    for (const QLabel* label : box.findChildren<QLabel*>()) {
      if (!label->text().isEmpty()) texts << label->text();
    }
    wasModal = box.isModal() && box.parentWidget() == &window;
    auto* ok = box.findChild<QAbstractButton*>();
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(ok->text(), "OK");
    ok->click();
  });
  Item(IDM_ABOUTBOX)->trigger();
  EXPECT_TRUE(answerer.Idle());
  EXPECT_EQ(title, "About RKV-3520 Linkwatch");
  EXPECT_TRUE(texts.contains("RKV-3520 Version 1.1")) << texts.join('|').toStdString();
  EXPECT_TRUE(texts.filter("2003").size() == 1) << texts.join('|').toStdString();
  EXPECT_TRUE(wasModal);
  EXPECT_TRUE(ticked);
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
  EXPECT_TRUE(dlg.IsRunning());
  EXPECT_TRUE(window.Timers().IsActive(ID_TICK_TIMER));
}

// The three ways to the menu inside the window.
TEST_F(WindowTest, AltSpaceTheIconAndARightClickOnTheBackgroundOpenTheMenu) {
  Init();
  const auto opensMenu = [&](const char* how, const std::function<void()>& act) {
    window.Menu().hide();
    act();
    EXPECT_TRUE(window.Menu().isVisible()) << how;
    window.Menu().hide();
  };
  opensMenu("Alt+Space", [&] { QTest::keyClick(&window, Qt::Key_Space, Qt::AltModifier); });
  opensMenu("icon", [&] { QTest::mouseClick(&window.MenuButton(), Qt::LeftButton); });
  opensMenu("group box", [&] {
    // Inside the frame, below the display it holds.
    auto* group = Get<QGroupBox>(IDC_STOP_GROUP);
    const QPoint inside(4, group->height() - 4);
    QContextMenuEvent event(QContextMenuEvent::Mouse, inside, group->mapToGlobal(inside));
    QApplication::sendEvent(group, &event);
  });

  // Not over a control that works.
  auto* combo = Get<QWidget>(IDC_DURATION);
  const QPoint inside(combo->width() / 2, combo->height() / 2);
  QContextMenuEvent event(QContextMenuEvent::Mouse, inside, combo->mapToGlobal(inside));
  QApplication::sendEvent(combo, &event);
  EXPECT_FALSE(window.Menu().isVisible());
}

TEST_F(WindowTest, CloseInTheMenuAsksLikeEscape) {
  Init();
  answerer.Answer(QMessageBox::No);
  window.Menu().WindowAction(WindowCommand::Close)->trigger();
  ASSERT_EQ(answerer.Seen().size(), 1u);
  EXPECT_EQ(answerer.Seen()[0].text, "Exit Application?");
  EXPECT_TRUE(window.isVisible());
}

}  // namespace
}  // namespace linkwatch::testing
