#include "ui/monitor_window.h"

#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QTimer>
#include <QToolButton>

#include "control/durations.h"
#include "control/monitor_dlg.h"
#include "ui/app_icon.h"
#include "ui/control_factory.h"
#include "ui/dialog_font.h"
#include "ui/main_template.h"
#include "ui/qt_text.h"
#include "ui/results_model.h"
#include "ui/results_view.h"
#include "ui/system_menu.h"

namespace linkwatch {

namespace {

// Where the system menu's icon sits: in the free corner left of START.
constexpr DluRect kMenuButtonPlace{4, 4, 0, 0};
constexpr int kMenuIconPixels = 16;

constexpr Qt::WindowFlags kWindowFlags = Qt::Window | Qt::CustomizeWindowHint |
                                         Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                                         Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint;

bool IsEnterKey(const QKeyEvent& event) {
  const Qt::KeyboardModifiers mods = event.modifiers();
  return (event.key() == Qt::Key_Return && mods == Qt::NoModifier) ||
         (event.key() == Qt::Key_Enter && (mods == Qt::NoModifier || mods == Qt::KeypadModifier));
}

// The closed height of a drop-down list is the font's; the template's height
// is that of the list when it is open.
void PlaceComboBox(QComboBox& combo, const QRect& dropped) {
  const int closedHeight = combo.sizeHint().height();
  combo.setGeometry(dropped.x(), dropped.y(), dropped.width(), closedHeight);
  const int itemHeight = combo.fontMetrics().height() + 2;
  combo.setMaxVisibleItems(std::max(1, (dropped.height() - closedHeight) / itemHeight));
}

}  // namespace

MonitorWindow::MonitorWindow(QWidget* parent)
    : QDialog(parent, kWindowFlags),
      m_units(BaseUnitsOf(DialogFont())),
      m_templateSize(ToPixels(kMainSize, m_units)),
      m_timers([this](int id) {
        if (m_dlg != nullptr) m_dlg->OnTimer(id);
      }) {
  setFont(DialogFont());
  setWindowTitle(QString::fromLatin1(kMainCaption));
  setWindowIcon(AppIcon());
  setFixedSize(m_templateSize);
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
      PlaceComboBox(*combo, place);
    } else {
      widget->setGeometry(place);
    }
    if (control.id > 0) m_controls[control.id] = widget;
    if (control.tabStop) {
      if (previousTabStop != nullptr) setTabOrder(previousTabStop, widget);
      previousTabStop = widget;
    }
  }
  auto* duration = ControlAs<QComboBox>(IDC_DURATION);
  for (const DurationItem& item : kDurationItems) duration->addItem(QString::fromLatin1(item.text));
  duration->setCurrentIndex(-1);
  m_results = ControlAs<ResultsView>(IDC_RESULTS);

  m_menu = new SystemMenu(this);
  auto* button = new QToolButton(this);
  button->setIcon(windowIcon());
  button->setIconSize(QSize(kMenuIconPixels, kMenuIconPixels));
  button->setAutoRaise(true);
  button->setFocusPolicy(Qt::NoFocus);
  button->setToolTip(tr("System menu (Alt+Space)"));
  const QPoint corner = ToPixels(kMenuButtonPlace, m_units).topLeft();
  button->setGeometry(QRect(corner, QSize(kMenuIconPixels + 4, kMenuIconPixels + 4)));
  m_menuButton = button;
}

void MonitorWindow::ConnectControls() {
  connect(ControlAs<QAbstractButton>(IDC_START), &QAbstractButton::clicked, this, [this] {
    if (m_dlg != nullptr) m_dlg->OnStart();
  });
  connect(ControlAs<QAbstractButton>(IDC_STOP), &QAbstractButton::clicked, this, [this] {
    if (m_dlg != nullptr) m_dlg->OnStop();
  });
  // Only a choice by the user counts; the program's own setting is silent.
  connect(ControlAs<QComboBox>(IDC_DURATION), &QComboBox::activated, this, [this] {
    if (m_dlg != nullptr) m_dlg->OnSelchangeDuration();
  });
  connect(m_menu, &SystemMenu::commandChosen, this, [this](unsigned command) {
    if (m_dlg != nullptr) m_dlg->OnSysCommand(command);
  });
  connect(m_menu, &SystemMenu::windowCommandChosen, this, &MonitorWindow::OnWindowCommand);
  connect(m_menuButton, &QAbstractButton::clicked, this,
          [this] { PopupMenu(m_menuButton->mapToGlobal(QPoint(0, m_menuButton->height()))); });
  auto* shortcut = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_Space), this);
  connect(shortcut, &QShortcut::activated, this, [this] { PopupMenu(mapToGlobal(QPoint(0, 0))); });
}

void MonitorWindow::Attach(CMonitorDlg& dlg) {
  Detach();
  m_dlg = &dlg;
  m_model = std::make_unique<ResultsModel>(dlg.Results());
  m_results->setModel(m_model.get());
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
  if (m_dlg != nullptr) m_dlg->OnOK();
}

void MonitorWindow::reject() {
  if (m_dlg != nullptr) m_dlg->OnCancel();
}

void MonitorWindow::keyPressEvent(QKeyEvent* event) {
  if (IsEnterKey(*event)) {
    accept();
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
      // Maximised, the window grows but its controls stay where they are.
      setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
      showMaximized();
      break;
    case WindowCommand::Close:
      close();
      break;
  }
}

void MonitorWindow::changeEvent(QEvent* event) {
  if (event->type() == QEvent::WindowStateChange) {
    if (!windowState().testFlag(Qt::WindowMaximized)) setFixedSize(m_templateSize);
    m_menu->UpdateWindowItems();
  }
  QDialog::changeEvent(event);
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
