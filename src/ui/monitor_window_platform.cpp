// The window's side of IPlatform: the dialog's calls on controls, menu,
// boxes and timers.
#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPointer>

#include <ctime>

#include "system/boot_clock.h"
#include "ui/message_boxes.h"
#include "ui/monitor_window.h"
#include "ui/one_line_list.h"
#include "ui/qt_text.h"
#include "ui/save_file_dialog.h"
#include "ui/system_menu.h"

namespace linkwatch {

BoxAnswer MonitorWindow::MessageBox(std::string_view text, BoxKind kind, std::string_view detail) {
  const BoxAnswer answer =
      RunMessageBox(this, ToQString(text), kind, ToQString(detail), &m_openBox);
  ReturnFocus();
  return answer;
}

bool MonitorWindow::DismissQuestion() {
  if (m_openBox.isNull() || !m_openBox->standardButtons().testFlag(QMessageBox::Yes)) return false;
  // No button was clicked, so the box's answer is No.
  m_openBox->done(QMessageBox::No);
  return true;
}

void MonitorWindow::ShowNotice(std::string_view text, std::string_view detail,
                               std::function<void()> onClosed) {
  OpenNotice(this, ToQString(text), ToQString(detail),
             [window = QPointer<MonitorWindow>(this), onClosed = std::move(onClosed)] {
               if (onClosed) onClosed();
               if (window == nullptr) return;
               window->ReturnFocus();
               window->RefreshStatus();
             });
}

void MonitorWindow::ShowAbout() {
  if (m_showAbout) m_showAbout(*this);
  ReturnFocus();
}

std::string MonitorWindow::SaveFileDialog(const SaveFileRequest& request) {
  std::string path = RunSaveFileDialog(this, request);
  ReturnFocus();
  return path;
}

void MonitorWindow::ShowControl(int id, bool show) {
  if (QWidget* widget = Control(id)) widget->setVisible(show);
}

void MonitorWindow::EnableControl(int id, bool enable) {
  if (QWidget* widget = Control(id)) widget->setEnabled(enable);
}

void MonitorWindow::SetCheck(int id, bool checked) {
  if (auto* button = ControlAs<QAbstractButton>(id)) button->setChecked(checked);
}

bool MonitorWindow::HasFocus(int id) const {
  const QWidget* widget = Control(id);
  return widget != nullptr && widget->hasFocus();
}

void MonitorWindow::SetItemText(int id, std::string_view text) {
  const QString qtext = ToQString(text);
  if (auto* label = ControlAs<QLabel>(id)) {
    label->setText(qtext);
  } else if (auto* button = ControlAs<QAbstractButton>(id)) {
    button->setText(qtext);
  } else if (auto* group = ControlAs<QGroupBox>(id)) {
    group->setTitle(qtext);
  }
}

void MonitorWindow::ListReset(int id) {
  if (auto* list = ControlAs<OneLineList>(id)) list->clear();
}

void MonitorWindow::ListInsert(int id, int index, std::string_view text) {
  if (auto* list = ControlAs<OneLineList>(id)) list->Insert(index, ToQString(text));
}

int MonitorWindow::ComboGetCurSel(int id) const {
  const auto* combo = ControlAs<QComboBox>(id);
  return combo == nullptr ? -1 : combo->currentIndex();
}

void MonitorWindow::ComboSetCurSel(int id, int index) {
  if (auto* combo = ControlAs<QComboBox>(id)) combo->setCurrentIndex(index);
}

void MonitorWindow::AppendMenu(MenuItem kind, unsigned command, std::string_view text) {
  m_menu->Append(kind, command, ToQString(text));
}

void MonitorWindow::CheckMenuItem(unsigned command, bool checked) {
  m_menu->Check(command, checked);
}

void MonitorWindow::EnableMenuItem(unsigned command, bool enabled) {
  m_menu->Enable(command, enabled);
}

void MonitorWindow::InsertMenu(unsigned before, MenuItem kind, unsigned command,
                               std::string_view text) {
  m_menu->Insert(before, kind, command, ToQString(text));
}

void MonitorWindow::DeleteMenu(unsigned command) {
  m_menu->Remove(command);
}

void MonitorWindow::SetTimer(int id, int milliseconds) {
  m_timers.Set(id, milliseconds);
}

void MonitorWindow::KillTimer(int id) {
  m_timers.Kill(id);
}

Seconds MonitorWindow::Now() const {
  return static_cast<Seconds>(std::time(nullptr));
}

Seconds MonitorWindow::Monotonic() const {
  return BootClockSeconds();
}

void MonitorWindow::EndDialog(int result) {
  done(result);
}

}  // namespace linkwatch
