// The window as a user works it: clicks reach the controls under the pointer,
// the window grows, rows are copied, the status line and screen readers tell
// what is there. The same faults are driven on a real X server by
// tests/e2e/x11_window_test.sh.
#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QMenu>
#include <QScrollBar>
#include <QTextLayout>

#include <sys/resource.h>

#include "file_size_limit.h"
#include "frames.h"
#include "record/row_texts.h"
#include "ui/main_template.h"
#include "ui/results_model.h"
#include "ui/results_view.h"
#include "ui/status_line.h"
#include "ui/unbroken_lines.h"
#include "window_fixture.h"

namespace linkwatch::testing {
namespace {

QPoint CentreIn(const QWidget& window, const QWidget& control) {
  return control.mapTo(&window, control.rect().center());
}

// A press and release through the window, found by position as the platform
// finds it, not handed to the control directly.
void ClickAt(MonitorWindow& window, const QPoint& pos, Qt::MouseButton button = Qt::LeftButton) {
  QTest::mouseClick(window.windowHandle(), button, Qt::NoModifier, pos);
}

TEST_F(WindowTest, EveryControlTakesTheClicksOnItsOwnPlace) {
  Init();
  window.ShowControl(IDC_STOP, true);
  for (const ControlTemplate& control : kMainControls) {
    if (control.id <= 0 || control.kind == ControlKind::GroupBox) continue;
    QWidget* widget = window.Control(control.id);
    QWidget* hit = window.childAt(CentreIn(window, *widget));
    EXPECT_TRUE(hit == widget || widget->isAncestorOf(hit))
        << "control " << control.id << " is under "
        << (hit == nullptr ? "nothing" : hit->metaObject()->className());
  }
  // The duration list opens to a click on its face.
  auto* duration = Get<QComboBox>(IDC_DURATION);
  ClickAt(window, CentreIn(window, *duration));
  EXPECT_TRUE(QTest::qWaitFor([&] { return duration->view()->isVisible(); }, 3000));
  duration->hidePopup();
  // A click on the frame's empty part still reaches the window's menu.
  auto* group = Get<QGroupBox>(IDC_STOP_GROUP);
  ClickAt(window, group->geometry().bottomLeft() + QPoint(4, -4), Qt::RightButton);
  EXPECT_TRUE(window.Menu().isVisible());
  window.Menu().hide();
}

TEST_F(WindowTest, TheWindowGrowsTheTableAndTheOtherControlsStay) {
  Init();
  const QSize normal = window.size();
  EXPECT_EQ(window.minimumSize(), normal);
  EXPECT_GT(window.maximumSize().width(), normal.width());
  std::map<int, QRect> before;
  for (const ControlTemplate& control : kMainControls) {
    if (control.id > 0) before[control.id] = window.Control(control.id)->geometry();
  }
  const QRect statusBefore = window.Status().geometry();
  const QSize extra(150, 200);
  window.resize(normal + extra);
  ASSERT_TRUE(QTest::qWaitFor([&] { return window.size() == normal + extra; }, 3000));

  for (const auto& [id, place] : before) {
    const QRect now = window.Control(id)->geometry();
    if (id == IDC_RESULTS) {
      EXPECT_EQ(now.topLeft(), place.topLeft());
      EXPECT_EQ(now.size(), place.size() + extra);
    } else {
      EXPECT_EQ(now, place) << id;
    }
  }
  const QRect table = window.Control(IDC_RESULTS)->geometry();
  EXPECT_EQ(window.Status().geometry().top(), statusBefore.top() + extra.height());
  EXPECT_EQ(window.Status().geometry().width(), table.width());
  EXPECT_GE(window.Status().geometry().top(), table.bottom());

  // Maximised and restored, it comes back to where it was.
  window.resize(normal);
  window.Menu().WindowAction(WindowCommand::Maximize)->trigger();
  ASSERT_TRUE(QTest::qWaitFor([&] { return window.isMaximized(); }, 2000));
  window.Menu().WindowAction(WindowCommand::Restore)->trigger();
  ASSERT_TRUE(QTest::qWaitFor([&] { return !window.isMaximized(); }, 2000));
  EXPECT_TRUE(QTest::qWaitFor([&] { return window.size() == normal; }, 2000));
  EXPECT_EQ(window.Control(IDC_RESULTS)->geometry(), before[IDC_RESULTS]);
}

TEST_F(WindowTest, F10AndTheMenuKeyOpenTheMenuAndTheIconSaysSo) {
  Init();
  for (const Qt::Key key : {Qt::Key_F10, Qt::Key_Menu}) {
    window.Menu().hide();
    QTest::keyClick(QApplication::focusWidget(), key);
    EXPECT_TRUE(window.Menu().isVisible()) << key;
  }
  window.Menu().hide();
  const QString tip = window.MenuButton().toolTip();
  EXPECT_TRUE(tip.contains("F10")) << tip.toStdString();
  EXPECT_TRUE(tip.contains("Alt+Space")) << tip.toStdString();
}

TEST_F(WindowTest, ScreenReadersHearANameForEveryControlAndStartAsAButton) {
  Init();
  const auto nameOf = [](QWidget* widget) {
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
    return face == nullptr ? QString() : face->text(QAccessible::Name);
  };
  const std::pair<int, const char*> names[] = {
      {IDC_DURATION, "Test Duration"},
      {IDC_START, "START"},
      {IDC_STOP, "STOP"},
      {IDC_ELAPSED, "Time Elapsed"},
      {IDC_START_TIME, "Start Date/Time"},
      {IDC_STOP_TIME, "Stop Date/Time"},
      {IDC_RESULTS, "Results"},
  };
  for (const auto& [id, name] : names) EXPECT_EQ(nameOf(Get<QWidget>(id)), name) << id;
  for (const ControlTemplate& control : kMainControls) {
    if (control.id <= 0) continue;
    EXPECT_FALSE(nameOf(window.Control(control.id)).isEmpty()) << control.id;
  }
  EXPECT_EQ(nameOf(&window.MenuButton()), "System menu");
  EXPECT_NE(window.MenuButton().focusPolicy() & Qt::TabFocus, 0);

  QAccessibleInterface* start = QAccessible::queryAccessibleInterface(Get<QWidget>(IDC_START));
  ASSERT_NE(start, nullptr);
  EXPECT_EQ(start->role(), QAccessible::Button);
  EXPECT_FALSE(start->state().pressed);
  StartTest();
  EXPECT_TRUE(start->state().pressed);
}

TEST_F(WindowTest, TheStatusLineTellsPortLineRowsAndLog) {
  Init();
  EXPECT_EQ(window.Status().Facts().port, "COM1");
  EXPECT_EQ(window.Status().Facts().line, StatusFacts::Line::Idle);
  EXPECT_EQ(window.Status().Facts().log, StatusFacts::Log::Closed);

  StartTest();
  EXPECT_EQ(window.Status().Facts().line, StatusFacts::Line::Up);
  EXPECT_EQ(window.Status().Facts().log, StatusFacts::Log::Open);
  EXPECT_EQ(window.Status().Facts().rows, 1u);

  // Ticks through the window's own timer, as the program has them.
  serial.Push(EncodeFrame({.packets = 100, .ucErr = 1, .cErr = 0, .syncLoss = 0}));
  window.SetTimer(ID_TICK_TIMER, 1);
  ASSERT_TRUE(QTest::qWaitFor([&] { return window.Status().Facts().rows == 2; }, 3000));
  ASSERT_TRUE(QTest::qWaitFor(
      [&] { return window.Status().Facts().line == StatusFacts::Line::Lost; }, 3000));
  EXPECT_TRUE(window.Status().text().contains("line lost")) << window.Status().text().toStdString();
  window.KillTimer(ID_TICK_TIMER);

  answerer.Answer(QMessageBox::Yes);
  Get<QAbstractButton>(IDC_STOP)->click();
  EXPECT_EQ(window.Status().Facts().line, StatusFacts::Line::Idle);
  EXPECT_EQ(window.Status().Facts().log, StatusFacts::Log::Closed);
}

TEST_F(WindowTest, TheStatusLineTellsALogThatCannotBeWritten) {
  Init();
  dlg.SetLogPath(dir.File("log.txt"));
  answerer.Handle([](QWidget& box) { box.close(); });  // the write error notice
  {
    // Not even the header fits: what cannot be written is kept.
    const FileSizeLimit limit(10);
    Get<QAbstractButton>(IDC_START)->click();
  }
  ASSERT_TRUE(dlg.IsRunning());
  EXPECT_EQ(window.Status().Facts().log, StatusFacts::Log::Failing);
  EXPECT_GT(window.Status().Facts().keptBytes, 0u);
  EXPECT_TRUE(window.Status().text().contains(
      QStringLiteral("log failing, %1 bytes kept").arg(dlg.LogKeptBytes())))
      << window.Status().text().toStdString();
  ASSERT_TRUE(QTest::qWaitFor([&] { return answerer.Idle(); }, 3000));

  // Written again at the stop, the kept text reaches the file.
  answerer.Answer(QMessageBox::Yes);
  Get<QAbstractButton>(IDC_STOP)->click();
  EXPECT_EQ(window.Status().Facts().log, StatusFacts::Log::Closed);
  EXPECT_NE(ReadFile(dir.File("log.txt")).find("SyncLoss"), std::string::npos);
}

TEST(StatusText, SaysEachFactInWords) {
  struct Case {
    StatusFacts facts;
    const char* text;
  };
  const Case cases[] = {
      {{"COM1", "/dev/ttyS0", StatusFacts::Line::Idle, 0, StatusFacts::Log::Closed, 0},
       "COM1: /dev/ttyS0 | not running | 0 rows | log closed"},
      {{"COM2", "/dev/serial/by-id/usb-x", StatusFacts::Line::Up, 1, StatusFacts::Log::Open, 0},
       "COM2: /dev/serial/by-id/usb-x | line up | 1 row | log open"},
      {{"COM3", "/dev/ttyS2", StatusFacts::Line::Quiet, 12, StatusFacts::Log::Open, 0},
       "COM3: /dev/ttyS2 | line quiet | 12 rows | log open"},
      {{"COM4", "/dev/ttyS3", StatusFacts::Line::Lost, 3000000, StatusFacts::Log::Failing, 4096},
       "COM4: /dev/ttyS3 | line lost | 3000000 rows | log failing, 4096 bytes kept"},
      // A device given by its path needs no second name.
      {{"/dev/ttyUSB0", "/dev/ttyUSB0", StatusFacts::Line::Up, 2, StatusFacts::Log::Open, 0},
       "/dev/ttyUSB0 | line up | 2 rows | log open"},
  };
  for (const Case& c : cases) EXPECT_EQ(StatusText(c.facts).toStdString(), c.text);
}

TEST(StatusLine, ShortensALongDevicePathRatherThanTheFacts) {
  StatusLine line;
  line.resize(300, 20);
  line.show();
  const StatusFacts facts{"COM1",
                          "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0",
                          StatusFacts::Line::Lost,
                          12,
                          StatusFacts::Log::Open,
                          0};
  line.Show(facts);
  EXPECT_LE(line.fontMetrics().horizontalAdvance(line.text()), line.width());
  EXPECT_TRUE(line.text().startsWith("COM1: /dev/")) << line.text().toStdString();
  EXPECT_TRUE(line.text().endsWith("port0 | line lost | 12 rows | log open"))
      << line.text().toStdString();
  EXPECT_EQ(line.toolTip(), StatusText(facts));
  line.resize(2000, 20);
  EXPECT_EQ(line.text(), StatusText(facts));
}

// A port that will not open: the box's texts can be selected, and the device
// path in its detail stands whole on one line.
TEST_F(WindowTest, APortFailureBoxKeepsThePathWholeAndItsTextsSelectable) {
  Init();
  const QString path = "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0";
  serial.failOpen = true;
  serial.failure = {SerialError::NoDevice, ENOENT, path.toStdString()};
  dlg.SetLogPath(dir.File("log.txt"));
  bool checked = false;
  answerer.Handle([&](QWidget& box) {
    auto* detail = box.findChild<QLabel*>("qt_msgbox_informativelabel");
    auto* text = box.findChild<QLabel*>("qt_msgbox_label");
    ASSERT_NE(detail, nullptr);
    ASSERT_NE(text, nullptr);
    EXPECT_TRUE(detail->textInteractionFlags() & Qt::TextSelectableByMouse);
    EXPECT_TRUE(text->textInteractionFlags() & Qt::TextSelectableByMouse);
    EXPECT_TRUE(detail->text().startsWith(path + "\n")) << detail->text().toStdString();
    // Laid out as shown: the first line holds the whole path.
    QTextLayout layout(path, detail->font());
    layout.beginLayout();
    QTextLine line = layout.createLine();
    line.setLineWidth(detail->width());
    layout.endLayout();
    EXPECT_EQ(line.textLength(), path.size()) << "label " << detail->width() << " px";
    checked = true;
    box.close();
  });
  Get<QAbstractButton>(IDC_START)->click();
  EXPECT_TRUE(checked);
}

TEST(UnbrokenLinesWidth, IsTheWidestLineWithoutSpaces) {
  const QFont font("DejaVu Sans", 9);
  const QFontMetrics metrics(font);
  const QString path = "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0";
  EXPECT_GE(UnbrokenLinesWidth(font, "short\n" + path + "\nsome words that may wrap"),
            metrics.horizontalAdvance(path));
  EXPECT_LE(UnbrokenLinesWidth(font, "short\n" + path), metrics.horizontalAdvance(path) + 2);
  EXPECT_EQ(UnbrokenLinesWidth(font, "only words with spaces"), 0);
}

constexpr Seconds kNoon = 1057233909;  // 3 July 2003, 12:05:09 UTC (TZ=UTC)

// A view over rows 0..n-1 of which row i was added at kNoon + i.
class ViewTest : public ::testing::Test {
 protected:
  void Fill(int n) {
    for (int i = 0; i < n; ++i) Add(i);
    view.resize(400, 200);
    view.setModel(&model);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
  }
  void Add(int i) {
    if (i % 5 == 4) {
      table.InsertTop(TableRow::Status(kNoon + i, i % 2 == 0));
    } else {
      table.InsertTop(TableRow::Result(kNoon + i, {100.0 * i, 1.0 * i, 0, 0}));
    }
  }
  // The log line of the row added i-th, as the log file has it.
  static QString LineOf(int i) {
    const std::string line = i % 5 == 4 ? StatusLogLine(kNoon + i, i % 2 == 0)
                                        : ResultLogLine(kNoon + i, {100.0 * i, 1.0 * i, 0, 0});
    return QString::fromStdString(line.substr(2));
  }
  int TopRow() const { return view.rowAt(0); }

  ResultsTable table;
  ResultsModel model{table};
  ResultsView view;
};

TEST_F(ViewTest, CopiesTheSelectedRowsAsLogLinesOldestFirst) {
  Fill(12);
  const int newest = 11;
  // Rows 0 (newest) and 2, then all.
  view.selectionModel()->select(model.index(0, 0),
                                QItemSelectionModel::Select | QItemSelectionModel::Rows);
  view.selectionModel()->select(model.index(2, 0),
                                QItemSelectionModel::Select | QItemSelectionModel::Rows);
  EXPECT_EQ(view.SelectedLogText(), LineOf(newest - 2) + "\r\n" + LineOf(newest));

  view.setFocus();
  QTest::keyClick(&view, Qt::Key_A, Qt::ControlModifier);
  QTest::keyClick(&view, Qt::Key_C, Qt::ControlModifier);
  QStringList all;
  for (int i = 0; i <= newest; ++i) all << LineOf(i);
  EXPECT_EQ(QApplication::clipboard()->text(), all.join("\r\n"));
  EXPECT_TRUE(LineOf(4).endsWith("RS-232 Connection Restored ")) << LineOf(4).toStdString();
  EXPECT_TRUE(LineOf(9).endsWith("RS-232 Connection Loss ")) << LineOf(9).toStdString();

  // Shift extends from the clicked row; the texts come from the rows, not the screen.
  view.clearSelection();
  QTest::mouseClick(view.viewport(), Qt::LeftButton, {},
                    view.visualRect(model.index(1, 0)).center());
  QTest::mouseClick(view.viewport(), Qt::LeftButton, Qt::ShiftModifier,
                    view.visualRect(model.index(3, 0)).center());
  EXPECT_EQ(view.SelectedLogText(),
            LineOf(newest - 3) + "\r\n" + LineOf(newest - 2) + "\r\n" + LineOf(newest - 1));
}

TEST_F(ViewTest, RowsInViewStayPutWhileRowsArriveAndTheTopFollowsTheNewest) {
  Fill(200);
  EXPECT_EQ(TopRow(), 0);
  Add(200);
  QApplication::processEvents();
  EXPECT_EQ(TopRow(), 0) << "at the top, the newest row shows";

  view.verticalScrollBar()->setValue(50);
  const QString shown = model.index(TopRow(), 2).data().toString();
  for (int i = 201; i < 206; ++i) Add(i);
  QApplication::processEvents();
  EXPECT_EQ(TopRow(), 55);
  EXPECT_EQ(model.index(TopRow(), 2).data().toString(), shown);

  // A new test empties the table: no shift is left over for it.
  view.verticalScrollBar()->setValue(10);
  Add(206);
  table.DeleteAllItems();
  for (int i = 0; i < 100; ++i) Add(i);
  QApplication::processEvents();
  EXPECT_EQ(TopRow(), 0);
}

}  // namespace
}  // namespace linkwatch::testing
