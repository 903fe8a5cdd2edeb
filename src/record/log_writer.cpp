#include <cerrno>
#include <memory>
#include <string>

#include "base/sys_error.h"
#include "control/monitor_dlg.h"
#include "control/resource.h"

namespace linkwatch {

bool CMonitorDlg::OpenLogFile() {
  const int err = m_LogFile.Open(m_strLogPath);
  if (err != 0) {
    const std::string detail =
        (err == EWOULDBLOCK) ? "The file is in use by another program." : SysErrorText(err) + ".";
    m_Platform.MessageBox("Cannot open " + m_strLogPath, BoxKind::Ok, detail);
    return false;
  }
  m_bLogFailing = false;
  WriteLog(LoadString(IDS_LOG_HEADER));
  return true;
}

void CMonitorDlg::WriteLog(std::string_view text) {
  m_Platform.LogText(text);
  const int err = m_LogFile.Write(text);
  if (err == 0) {
    m_bLogFailing = false;
    return;
  }
  ReportLogError(err, LogErrorDetail(err));
}

void CMonitorDlg::SyncLog() {
  const int err = m_LogFile.Sync();
  if (err == 0) {
    m_bLogFailing = false;
    return;
  }
  ReportLogError(err, LogErrorDetail(err));
}

void CMonitorDlg::CloseLogFile() {
  const std::size_t kept = m_LogFile.KeptBytes();
  const auto dropped = m_LogFile.DroppedLines();
  const int err = m_LogFile.Close();
  if (err == 0) return;
  // The last chance to write has passed: whatever is still kept is lost now.
  std::string detail = "The log file was closed";
  if (kept != 0 || dropped != 0) {
    detail += "; " + std::to_string(kept) + " bytes";
    if (dropped != 0) detail += " and " + std::to_string(dropped) + " further lines";
    detail += " could not be written and are lost";
  }
  m_bLogFailing = false;
  ReportLogError(err, detail + ".");
}

// One box per failure episode: the episode ends when a write succeeds again.
// The box does not hold up the tick, so polling goes on while it is open.
void CMonitorDlg::ReportLogError(int err, const std::string& detail) {
  const bool newEpisode = !m_bLogFailing;
  m_bLogFailing = true;
  if (!newEpisode || *m_pLogBoxOpen) return;
  *m_pLogBoxOpen = true;
  std::weak_ptr<bool> boxOpen = m_pLogBoxOpen;
  m_Platform.ShowNotice(
      "An error occurred while writing " + m_strLogPath + ": " + SysErrorText(err) + ".", detail,
      [boxOpen] {
        if (const auto open = boxOpen.lock()) *open = false;
      });
}

std::string CMonitorDlg::LogErrorDetail(int err) {
  if (err == EBADF) return "The log file is not open; the text was not written.";
  return "The lines are kept and written, in order, as soon as the file can be written again.";
}

}  // namespace linkwatch
