#include "control/monitor_dlg.h"
#include "record/log_path.h"

namespace linkwatch {

bool CMonitorDlg::SelectLogFile() {
  const SaveFileRequest request{"Select Log File", "Text file (*.txt)", "*.txt", "txt",
                                kDefaultLogName};
  const std::string path = m_Platform.SaveFileDialog(request);
  if (path.empty()) return false;
  m_strLogPath = path;
  return true;
}

void CMonitorDlg::SetLogDisplay(const std::string& path) {
  m_strLogDisplay = ShortenedLogDisplay(path);
}

}  // namespace linkwatch
