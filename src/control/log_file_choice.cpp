// A log that cannot be opened where it is: the user may pick another file.
#include "control/monitor_dlg.h"

namespace linkwatch {

// After "Cannot open ..." the save dialog is offered, again after every file
// that cannot be opened either, until one opens or the user cancels.
bool CMonitorDlg::OpenAnotherLogFile() {
  while (SelectLogFile()) {
    SetLogDisplay(m_strLogPath);
    UpdateData();
    if (OpenLogFile()) return true;
  }
  return false;
}

}  // namespace linkwatch
