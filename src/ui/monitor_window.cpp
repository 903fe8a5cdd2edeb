#include "ui/monitor_window.h"

#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QStyle>
#include <QTimer>
#include <QToolButton>

#include "control/durations.h"
#include "control/monitor_dlg.h"
#include "ui/accessible_controls.h"
#include "ui/app_icon.h"
#include "ui/control_factory.h"
#include "ui/dialog_font.h"
#include "ui/main_template.h"
#include "ui/qt_text.h"
#include "ui/results_model.h"
#include "ui/results_view.h"
#include "ui/status_facts.h"
#include "ui/status_line.h"
#include "ui/system_menu.h"

namespace linkwatch {

namespace {

// Where the system menu's icon sits: in the free corner left of START.
constexpr DluRect kMenuButtonPlace{4, 4, 0, 0};
constexpr int kMenuIconPixels = 16;
// The status line fills the strip between the table's foot and the window's.
constexpr DluRect kStatusPlace{8, 220, 305, 8};

// Names for screen readers where a control has no text of its own: that of
// the frame around it.
struct AccessibleName {
  int id;
  const char* name;
};
constexpr AccessibleName kAccessibleNames[] = {
    {IDC_DURATION, "Test Duration"},
    {IDC_ELAPSED, "Time Elapsed"},
    {IDC_START_TIME, "Start Date/Time"},
    {IDC_STOP_TIME, "Stop Date/Time"},
    {IDC_RESULTS, "Results"},
};

constexpr Qt::WindowFlags kWindowFlags = Qt::Window | Qt::CustomizeWindowHint |
                                         Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                                         Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint;

bool IsEnterKey(const QKeyEvent& event) {
  const Qt::KeyboardModifiers mods = event.modifiers();
  return (event.key() == Qt::Key_Return && mods == Qt::NoModifier) ||
         (event.key() == Qt::Key_Enter && (mods == Qt::NoModifier || mods == Qt::KeypadModifier));
}

constexpr DluRect TemplateRect(int id) {
  for (const ControlTemplate& control : kMainControls) {
    if (control.id == id) return control.rect;
  }
  return {};
}

// The widest text each one-line display shows: a stamp, an elapsed time.
struct DisplayText {
  int id;
  const char* text;
};
constexpr DisplayText kDisplayTexts[] = {
    {IDC_START_TIME, "28-08-2028   28:08:08"},
    {IDC_STOP_TIME, "28-08-2028   28:08:08"},
    {IDC_ELAPSED, "888d-28h-58m-58s"},
};

// The dialog units of font. At small sizes the rounded average width runs
// short of the digits the displays show: there the units widen until each
// display's widest text fits, frame and margins included.
BaseUnits UnitsFittingTexts(const QFont& font) {
  BaseUnits units = BaseUnitsOf(font);
  const QFontMetrics metrics(font);
  // The item's text starts after its margin and must end inside the frame.
  const int margins = QApplication::style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 1 + 2 + 1;
  for (const DisplayText& display : kDisplayTexts) {
    const int needed = metrics.horizontalAdvance(QString::fromLatin1(display.text)) + margins;
    while (ToPixels(TemplateRect(display.id), units).width() < needed) ++units.x;
  }
  return units;
}

// The closed height of a drop-down list is the font's; the template's height
// is that of the list when it is open. Closed, it stays inside its frame,
// even where a small font makes the style's own minimum too tall.
void PlaceComboBox(QComboBox& combo, const QRect& dropped, int frameBottom) {
  const int fontHeight = combo.fontMetrics().height() + 4;
  const int room = frameBottom - dropped.y() - 1;
  const int closedHeight = std::max(fontHeight, std::min(combo.sizeHint().height(), room));
  combo.setGeometry(dropped.x(), dropped.y(), dropped.width(), closedHeight);
  const int itemHeight = combo.fontMetrics().height() + 2;
  combo.setMaxVisibleItems(std::max(1, (dropped.height() - closedHeight) / itemHeight));
}

}  // namespace

MonitorWindow::MonitorWindow(QWidget* parent) : MonitorWindow(parent, DialogFont()) {}

MonitorWindow::MonitorWindow(QWidget* parent, const QFont& font)
    : QDialog(parent, kWindowFlags),
      m_units(UnitsFittingTexts(font)),
      m_templateSize(ToPixels(kMainSize, m_units)),
      m_timers([this](int id) { Tell([id](CMonitorDlg& dlg) { dlg.OnTimer(id); }); }) {
  InstallAccessibleControls();
  setFont(font);
  setWindowTitle(QString::fromLatin1(kMainCaption));
  setWindowIcon(AppIcon());
  // The template's size is the smallest: the controls keep their places and
  // the table takes whatever the user adds.
  setMinimumSize(m_templateSize);
  resize(m_templateSize);
  setSizeGripEnabled(false);
  BuildControls();
  ConnectControls();
}

MonitorWindow::~MonitorWindow() {
  Detach();
}

void MonitorWindow::BuildControls() {
  QWidget* previousTabStop = nullptr;
  for (const ControlTemplate& control : kMainControls) {
    QWidget* widget = CreateControl(control, this);
    const QRect place = ToPixels(control.rect, m_units);
    if (auto* combo = qobject_cast<QComboBox*>(widget)) {
      PlaceComboBox(*combo, place, ToPixels(TemplateRect(IDC_DURATION_GROUP), m_units).bottom());
    } else {
      widget->setGeometry(place);
    }
    if (control.id > 0) m_controls[control.id] = widget;
    if (control.tabStop) {
      if (previousTabStop != nullptr) setTabOrder(previousTabStop, widget);
      previousTabStop = widget;
    }
  }
  for (const AccessibleName& named : kAccessibleNames) {
    Control(named.id)->setAccessibleName(QString::fromLatin1(named.name));
  }
  auto* duration = ControlAs<QComboBox>(IDC_DURATION);
  for (const DurationItem& item : kDurationItems) duration->addItem(QString::fromLatin1(item.text));
  duration->setCurrentIndex(-1);
  m_results = ControlAs<ResultsView>(IDC_RESULTS);
  m_status = new StatusLine(this);
  m_status->setGeometry(ToPixels(kStatusPlace, m_units));

  m_menu = new SystemMenu(this);
  auto* button = new QToolButton(this);
  button->setIcon(windowIcon());
  button->setIconSize(QSize(kMenuIconPixels, kMenuIconPixels));
  button->setAutoRaise(true);
  // Last in the tab order, so that the first tab stop stays the template's.
  button->setFocusPolicy(Qt::TabFocus);
  button->setAccessibleName(tr("System menu"));
  button->setToolTip(
      tr("System menu: port, serial devices, About and Link Quality (F10, the Menu key, "
         "Alt+Space or a right click)"));
  const QPoint corner = ToPixels(kMenuButtonPlace, m_units).topLeft();
  button->setGeometry(QRect(corner, QSize(kMenuIconPixels + 4, kMenuIconPixels + 4)));
  m_menuButton = button;
}

void MonitorWindow::ConnectControls() {
  connect(ControlAs<QAbstractButton>(IDC_START), &QAbstractButton::clicked, this,
          [this] { Tell([](CMonitorDlg& dlg) { dlg.OnStart(); }); });
  connect(ControlAs<QAbstractButton>(IDC_STOP), &QAbstractButton::clicked, this,
          [this] { Tell([](CMonitorDlg& dlg) { dlg.OnStop(); }); });
  // Only a choice by the user counts; the program's own setting is silent.
  connect(ControlAs<QComboBox>(IDC_DURATION), &QComboBox::activated, this,
          [this] { Tell([](CMonitorDlg& dlg) { dlg.OnSelchangeDuration(); }); });
  connect(m_menu, &SystemMenu::commandChosen, this, [this](unsigned command) {
    Tell([command](CMonitorDlg& dlg) { dlg.OnSysCommand(command); });
  });
  connect(m_menu, &SystemMenu::windowCommandChosen, this, &MonitorWindow::OnWindowCommand);
  connect(m_menuButton, &QAbstractButton::clicked, this, &MonitorWindow::PopupMenuAtIcon);
  // Alt+Space as on the platform the program comes from; under a window
  // manager that key opens the manager's own menu, F10 never does.
  for (const QKeySequence& keys :
       {QKeySequence(Qt::ALT | Qt::Key_Space), QKeySequence(Qt::Key_F10)}) {
    auto* shortcut = new QShortcut(keys, this);
    connect(shortcut, &QShortcut::activated, this, &MonitorWindow::PopupMenuAtIcon);
  }
}

void MonitorWindow::PopupMenuAtIcon() {
  PopupMenu(m_menuButton->mapToGlobal(QPoint(0, m_menuButton->height())));
}

void MonitorWindow::Attach(CMonitorDlg& dlg) {
  Detach();
  m_dlg = &dlg;
  m_model = std::make_unique<ResultsModel>(dlg.Results());
  m_results->setModel(m_model.get());
  RefreshStatus();
}

void MonitorWindow::Detach() {
  if (m_results != nullptr) m_results->setModel(nullptr);
  m_model.reset();
  m_dlg = nullptr;
}

void MonitorWindow::SetAboutBox(std::function<void(QWidget&)> showAbout) {
  m_showAbout = std::move(showAbout);
}

void MonitorWindow::EndFromOutside() {
  QWidget* modal = QApplication::activeModalWidget();
  if (modal != nullptr && modal != this) {
    // The box's own loop has to finish before the dialog can end: dismiss it
    // as Escape would, and come back once the code that opened it went on.
    if (!modal->close()) modal->hide();
    QTimer::singleShot(0, this, &MonitorWindow::EndFromOutside);
    return;
  }
  if (m_dlg != nullptr && m_dlg->IsRunning()) m_dlg->StopTest(StopReason::Signal);
  EndDialog(IDCANCEL);
}

QWidget* MonitorWindow::Control(int id) const {
  const auto it = m_controls.find(id);
  return it == m_controls.end() ? nullptr : it->second;
}

void MonitorWindow::accept() {
  Tell([](CMonitorDlg& dlg) { dlg.OnOK(); });
}

void MonitorWindow::reject() {
  Tell([](CMonitorDlg& dlg) { dlg.OnCancel(); });
}

void MonitorWindow::RefreshStatus() {
  if (m_dlg != nullptr) m_status->Show(ReadStatusFacts(*m_dlg));
}

void MonitorWindow::ReturnFocus() {
  // Only when no other box is still open over the window.
  QWidget* modal = QApplication::activeModalWidget();
  if (!isVisible() || (modal != nullptr && modal != this)) return;
  activateWindow();
}

void MonitorWindow::keyPressEvent(QKeyEvent* event) {
  if (IsEnterKey(*event)) {
    accept();
    return;
  }
  // The Menu key, where no control has a menu of its own for it.
  if (event->key() == Qt::Key_Menu && event->modifiers() == Qt::NoModifier) {
    PopupMenuAtIcon();
    return;
  }
  QDialog::keyPressEvent(event);
}

void MonitorWindow::closeEvent(QCloseEvent* event) {
  // Closing asks like Escape does; only a confirmed exit ends the dialog.
  event->ignore();
  reject();
}

void MonitorWindow::contextMenuEvent(QContextMenuEvent* event) {
  if (event->reason() == QContextMenuEvent::Keyboard) {
    PopupMenuAtIcon();
    return;
  }
  QWidget* under = childAt(event->pos());
  const bool background = under == nullptr || qobject_cast<QGroupBox*>(under) != nullptr ||
                          qobject_cast<QLabel*>(under) != nullptr;
  if (!background) {
    event->ignore();
    return;
  }
  PopupMenu(event->globalPos());
}

void MonitorWindow::PopupMenu(const QPoint& globalPos) {
  m_menu->popup(globalPos);
}

void MonitorWindow::OnWindowCommand(WindowCommand command) {
  switch (command) {
    case WindowCommand::Restore:
      showNormal();
      break;
    case WindowCommand::Minimize:
      showMinimized();
      break;
    case WindowCommand::Maximize:
      showMaximized();
      break;
    case WindowCommand::Close:
      close();
      break;
  }
}

void MonitorWindow::changeEvent(QEvent* event) {
  if (event->type() == QEvent::WindowStateChange) m_menu->UpdateWindowItems();
  QDialog::changeEvent(event);
}

void MonitorWindow::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  LayOutGrowing();
}

void MonitorWindow::LayOutGrowing() {
  const QSize extra = (size() - m_templateSize).expandedTo(QSize(0, 0));
  QRect table = ToPixels(TemplateRect(IDC_RESULTS), m_units);
  table.setSize(table.size() + extra);
  m_results->setGeometry(table);
  QRect status = ToPixels(kStatusPlace, m_units);
  status.moveTop(status.top() + extra.height());
  status.setWidth(table.width());
  m_status->setGeometry(status);
}

void MonitorWindow::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!m_bShownOnce) {
    m_bShownOnce = true;
    FocusFirstTabStop();
  }
}

void MonitorWindow::FocusFirstTabStop() {
  for (const ControlTemplate& control : kMainControls) {
    QWidget* widget = control.id > 0 ? Control(control.id) : nullptr;
    if (control.tabStop && widget != nullptr && widget->isVisibleTo(this) && widget->isEnabled()) {
      widget->setFocus(Qt::TabFocusReason);
      return;
    }
  }
}

}  // namespace linkwatch
