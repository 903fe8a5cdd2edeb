#include "control/monitor_dlg.h"
#include "record/row_texts.h"

namespace linkwatch {

void CMonitorDlg::AddResultRow() {
  const Seconds t = m_Platform.Now();
  const Totals totals = CurrentTotals();
  m_ListResults.InsertTop(TableRow::Result(t, totals));
  WriteLog(ResultLogLine(t, totals));
}

void CMonitorDlg::AddStatusRow(bool bRestored, Seconds tPoll) {
  m_ListResults.InsertTop(TableRow::Status(tPoll, bRestored));
  WriteLog(StatusLogLine(tPoll, bRestored));
}

}  // namespace linkwatch
