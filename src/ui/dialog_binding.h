#pragma once

#include "control/monitor_dlg.h"
#include "ui/monitor_window.h"

namespace linkwatch {

// Attaches a dialog's handlers to the window for the binding's lifetime.
// Declared after both, it detaches before the dialog (and its results table)
// goes away.
class DialogBinding {
 public:
  DialogBinding(MonitorWindow& window, CMonitorDlg& dlg) : m_window(window) { window.Attach(dlg); }
  DialogBinding(const DialogBinding&) = delete;
  DialogBinding& operator=(const DialogBinding&) = delete;
  ~DialogBinding() { m_window.Detach(); }

 private:
  MonitorWindow& m_window;
};

}  // namespace linkwatch
