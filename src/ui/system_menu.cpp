#include "ui/system_menu.h"

namespace linkwatch {

SystemMenu::SystemMenu(QWidget* window) : QMenu(window), m_window(window) {
  AddWindowAction(WindowCommand::Restore, tr("&Restore"));
  AddWindowAction(WindowCommand::Minimize, tr("Mi&nimize"));
  AddWindowAction(WindowCommand::Maximize, tr("Ma&ximize"));
  AddWindowAction(WindowCommand::Close, tr("&Close"));
  connect(this, &QMenu::aboutToShow, this, &SystemMenu::UpdateWindowItems);
  UpdateWindowItems();
}

void SystemMenu::AddWindowAction(WindowCommand command, const QString& text) {
  QAction* action = addAction(text);
  m_windowActions[command] = action;
  connect(action, &QAction::triggered, this,
          [this, command] { emit windowCommandChosen(command); });
}

void SystemMenu::UpdateWindowItems() {
  const Qt::WindowStates state = m_window->windowState();
  const bool minimized = state.testFlag(Qt::WindowMinimized);
  const bool maximized = state.testFlag(Qt::WindowMaximized);
  m_windowActions[WindowCommand::Restore]->setEnabled(minimized || maximized);
  m_windowActions[WindowCommand::Minimize]->setEnabled(!minimized);
  m_windowActions[WindowCommand::Maximize]->setEnabled(!maximized);
}

void SystemMenu::Append(MenuItem kind, unsigned command, const QString& text) {
  addAction(MakeItem(kind, command, text));
}

void SystemMenu::Insert(unsigned before, MenuItem kind, unsigned command, const QString& text) {
  QAction* item = MakeItem(kind, command, text);
  QAction* next = Find(before);
  if (next != nullptr && !next->isSeparator()) {
    insertAction(next, item);
  } else {
    addAction(item);
  }
}

void SystemMenu::Remove(unsigned command) {
  const auto it = m_items.find(command);
  if (it == m_items.end()) return;
  QAction* action = it->second;
  m_items.erase(it);
  removeAction(action);
  action->deleteLater();  // it may be the item whose trigger runs now
}

QAction* SystemMenu::MakeItem(MenuItem kind, unsigned command, const QString& text) {
  auto* action = new QAction(text, this);
  if (kind == MenuItem::Separator) {
    action->setSeparator(true);
    // A separator is addressed only when it carries a command of its own.
    if (command != 0) m_items.try_emplace(command, action);
    return action;
  }
  m_items.try_emplace(command, action);
  if (kind == MenuItem::CheckedString) {
    action->setCheckable(true);
    action->setChecked(true);
  }
  connect(action, &QAction::triggered, this, [this, action, command] {
    // Qt flips a checkable item before it reports the trigger; flip it back,
    // the program decides where the check mark goes.
    if (action->isCheckable()) action->setChecked(!action->isChecked());
    emit commandChosen(command);
  });
  return action;
}

void SystemMenu::Check(unsigned command, bool checked) {
  QAction* action = Find(command);
  if (action == nullptr) return;
  // An item is checkable only while it carries the mark, so unmarked items
  // show no empty box.
  if (checked) action->setCheckable(true);
  action->setChecked(checked);
  if (!checked) action->setCheckable(false);
}

void SystemMenu::Enable(unsigned command, bool enabled) {
  if (QAction* action = Find(command)) action->setEnabled(enabled);
}

QAction* SystemMenu::Find(unsigned command) const {
  const auto it = m_items.find(command);
  return it == m_items.end() ? nullptr : it->second;
}

QAction* SystemMenu::WindowAction(WindowCommand command) const {
  return m_windowActions.at(command);
}

}  // namespace linkwatch
