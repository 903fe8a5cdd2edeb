#pragma once

#include <QDialog>
#include <QMessageBox>
#include <QPointer>

#include <functional>
#include <map>
#include <memory>

#include "control/platform.h"
#include "ui/dialog_units.h"
#include "ui/tick_timers.h"

class QAbstractButton;

namespace linkwatch {

class CMonitorDlg;
class ResultsModel;
class ResultsView;
class StatusLine;
class SystemMenu;
enum class WindowCommand;

// The main window on Qt: the controls where the window template puts them,
// the system menu, boxes and timers, with every user event handed to the
// dialog's handlers. It holds no state of the test itself.
class MonitorWindow : public QDialog, public IPlatform {
  Q_OBJECT

 public:
  // Laid out in the dialog font, or in font where a test asks for another size.
  explicit MonitorWindow(QWidget* parent = nullptr);
  MonitorWindow(QWidget* parent, const QFont& font);
  ~MonitorWindow() override;

  // Events reach dlg's handlers, and its results table is shown, from Attach
  // until Detach; dlg must outlive the attachment (see DialogBinding).
  void Attach(CMonitorDlg& dlg);
  void Detach();

  // How the About item shows the About box, over this window.
  void SetAboutBox(std::function<void(QWidget& owner)> showAbout);

  // Ends the dialog at the system's request: open boxes are dismissed as by
  // Escape, and a running test is stopped so that its log is complete.
  void EndFromOutside();

  // The control of an IDC_ number; null when there is none.
  QWidget* Control(int id) const;
  SystemMenu& Menu() const { return *m_menu; }
  QAbstractButton& MenuButton() const { return *m_menuButton; }
  const StatusLine& Status() const { return *m_status; }
  const BaseUnits& Units() const { return m_units; }
  const TickTimers& Timers() const { return m_timers; }

  // IPlatform.
  BoxAnswer MessageBox(std::string_view text, BoxKind kind, std::string_view detail) override;
  bool DismissQuestion() override;
  void ShowNotice(std::string_view text, std::string_view detail,
                  std::function<void()> onClosed) override;
  void ShowAbout() override;
  std::string SaveFileDialog(const SaveFileRequest& request) override;
  void ShowControl(int id, bool show) override;
  void EnableControl(int id, bool enable) override;
  void SetCheck(int id, bool checked) override;
  bool HasFocus(int id) const override;
  void SetItemText(int id, std::string_view text) override;
  void ListReset(int id) override;
  void ListInsert(int id, int index, std::string_view text) override;
  int ComboGetCurSel(int id) const override;
  void ComboSetCurSel(int id, int index) override;
  bool HasSystemMenu() const override { return true; }
  void AppendMenu(MenuItem kind, unsigned command, std::string_view text) override;
  void CheckMenuItem(unsigned command, bool checked) override;
  void EnableMenuItem(unsigned command, bool enabled) override;
  void InsertMenu(unsigned before, MenuItem kind, unsigned command, std::string_view text) override;
  void DeleteMenu(unsigned command) override;
  void SetTimer(int id, int milliseconds) override;
  void KillTimer(int id) override;
  Seconds Now() const override;
  Seconds Monotonic() const override;
  void EndDialog(int result) override;

 public slots:
  // Enter is the dialog's OK, which never ends it; Escape is its cancel,
  // which asks first. Only EndDialog ends the dialog.
  void accept() override;
  void reject() override;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void BuildControls();
  void ConnectControls();
  void OnWindowCommand(WindowCommand command);
  void PopupMenu(const QPoint& globalPos);
  void PopupMenuAtIcon();
  void FocusFirstTabStop();
  // Hands an event to the dialog, then shows what changed on the status line.
  template <class Handler>
  void Tell(Handler&& handler) {
    if (m_dlg == nullptr) return;
    handler(*m_dlg);
    RefreshStatus();
  }
  void RefreshStatus();
  // After a box: without a window manager nobody else gives the keyboard
  // back to the window.
  void ReturnFocus();
  // The table takes whatever the window has beyond the template's size.
  void LayOutGrowing();
  template <class Widget>
  Widget* ControlAs(int id) const {
    return qobject_cast<Widget*>(Control(id));
  }

  const BaseUnits m_units;
  const QSize m_templateSize;
  std::map<int, QWidget*> m_controls;  // children, owned by the window
  SystemMenu* m_menu = nullptr;
  QAbstractButton* m_menuButton = nullptr;
  ResultsView* m_results = nullptr;
  StatusLine* m_status = nullptr;
  std::unique_ptr<ResultsModel> m_model;
  TickTimers m_timers;
  CMonitorDlg* m_dlg = nullptr;
  std::function<void(QWidget&)> m_showAbout;
  bool m_bShownOnce = false;
  QPointer<QMessageBox> m_openBox;  // the innermost message box open now
};

}  // namespace linkwatch
