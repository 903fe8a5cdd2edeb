#include <string>

#include "base/sys_error.h"
#include "control/monitor_dlg.h"

namespace linkwatch {

// A log deleted or moved while the test runs is noticed here, once a tick,
// and told once per event: nothing written so far may be lost without a word.
void CMonitorDlg::CheckLogPlace() {
  const LogFile::PlaceCheck check = m_LogFile.CheckPlace();
  switch (check.place) {
    case LogFile::Place::Same:
      return;
    case LogFile::Place::Recreated:
      m_bLogOrphaned = false;
      m_Platform.ShowNotice(
          "The log file " + m_strLogPath + " was deleted during the test.",
          "It has been created again with everything written so far, and the test goes on "
          "writing there.",
          {});
      return;
    case LogFile::Place::Orphaned:
      m_nLogPlaceErrno = check.sysErrno;
      if (m_bLogOrphaned) return;
      m_bLogOrphaned = true;
      m_Platform.ShowNotice(OrphanedLogText(),
                            "Nothing is lost while the test runs: it is tried again every "
                            "second, and the file then gets everything written so far.",
                            {});
      return;
    case LogFile::Place::Moved: {
      SetLogPath(m_LogFile.Path());
      m_Platform.ShowNotice("The log file was moved to " + m_strLogPath + ".",
                            "The test goes on writing there.", {});
      return;
    }
  }
}

std::string CMonitorDlg::OrphanedLogText() const {
  return "The log file " + m_strLogPath +
         " was deleted during the test and cannot be created again: " +
         SysErrorText(m_nLogPlaceErrno) + ".";
}

void CMonitorDlg::SettleLogPlace() {
  CheckLogPlace();
  if (!m_bLogOrphaned) return;
  m_bLogOrphaned = false;
  // The last chance has passed: this box waits for the user, so that an exit
  // right after it cannot take it away unseen.
  m_Platform.MessageBox(OrphanedLogText(), BoxKind::Ok,
                        "The log file was closed; the lines of this test are lost.");
}

}  // namespace linkwatch
