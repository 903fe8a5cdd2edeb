#include "control/monitor_dlg.h"
#include "record/row_texts.h"

namespace linkwatch {

void CMonitorDlg::AddResultRow() {
  const Seconds t = m_Platform.Now();
  const Totals totals = CurrentTotals();
  const TableRow row = TableRow::Result(t, totals);
  m_ListResults.InsertTop(row, m_LogFile.NextOffset());
  WriteLog(ResultLogLine(t, totals));
  Tell([&](IMonitorObserver& o) { o.OnRowAdded(row); });
}

void CMonitorDlg::AddStatusRow(bool bRestored, Seconds tPoll) {
  const TableRow row = TableRow::Status(tPoll, bRestored);
  m_ListResults.InsertTop(row, m_LogFile.NextOffset());
  WriteLog(StatusLogLine(tPoll, bRestored));
  Tell([&](IMonitorObserver& o) {
    o.OnRowAdded(row);
    if (bRestored) {
      o.OnLineBack(tPoll);
    } else {
      o.OnLineLost(tPoll);
    }
  });
}

}  // namespace linkwatch
