#pragma once

#include <QMenu>

#include <map>

#include "control/platform.h"

namespace linkwatch {

enum class WindowCommand { Restore, Minimize, Maximize, Close };

// The window's system menu, offered inside the window because a program
// cannot add items to the window manager's own: the window commands first,
// then the program's items, which are addressed by their command numbers.
// Check marks change only when the program sets them, never by a click.
class SystemMenu : public QMenu {
  Q_OBJECT

 public:
  explicit SystemMenu(QWidget* window);

  void Append(MenuItem kind, unsigned command, const QString& text);
  // In front of the item of before, or at the end when there is none.
  void Insert(unsigned before, MenuItem kind, unsigned command, const QString& text);
  void Remove(unsigned command);
  void Check(unsigned command, bool checked);
  void Enable(unsigned command, bool enabled);

  // The first item of a command; null when there is none.
  QAction* Find(unsigned command) const;
  QAction* WindowAction(WindowCommand command) const;

  // Offers only the window commands that the window's state allows.
  void UpdateWindowItems();

 signals:
  void commandChosen(unsigned command);
  void windowCommandChosen(linkwatch::WindowCommand command);

 private:
  void AddWindowAction(WindowCommand command, const QString& text);
  QAction* MakeItem(MenuItem kind, unsigned command, const QString& text);

  QWidget* m_window;
  std::map<WindowCommand, QAction*> m_windowActions;
  std::map<unsigned, QAction*> m_items;
};

}  // namespace linkwatch
