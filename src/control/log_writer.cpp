#include <cerrno>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>

#include "base/sys_error.h"
#include "control/monitor_dlg.h"
#include "control/resource.h"
#include "quality/second_csv.h"

namespace linkwatch {

namespace {

// Why a file could not be opened: what it is when it is no regular file.
std::string OpenErrorDetail(int err, const std::string& kind) {
  if (!kind.empty()) return "It is " + kind + ", not a regular file.";
  return (err == EWOULDBLOCK) ? "The file is in use by another program." : SysErrorText(err) + ".";
}

std::string LinesText(std::uint64_t n) {
  return std::to_string(n) + (n == 1 ? " line" : " lines");
}

}  // namespace

std::string CMonitorDlg::CsvPath() const {
  return CsvPathFor(m_strLogPath);
}

// The log and its CSV are held both before either is emptied, so that a CSV
// held by another program leaves the log as it was, and the other way round.
bool CMonitorDlg::OpenLogFile() {
  int err = m_LogFile.Hold(m_strLogPath);
  m_nLogOpenErrno = err;
  m_strLogOpenFailPath = m_strLogPath;
  if (err != 0) {
    m_Platform.MessageBox("Cannot open " + m_strLogPath, BoxKind::Ok,
                          OpenErrorDetail(err, m_LogFile.NotAFile()));
    return false;
  }
  m_bCsvInUse = m_bCsvWanted;
  if (m_bCsvInUse && !OpenCsvBesideLog()) {
    m_LogFile.Close();
    return false;
  }
  err = m_LogFile.Empty();
  m_nLogOpenErrno = err;
  if (err != 0) {
    m_CsvFile.Close();
    m_Platform.MessageBox("Cannot open " + m_strLogPath, BoxKind::Ok,
                          OpenErrorDetail(err, m_LogFile.NotAFile()));
    return false;
  }
  m_bLogFailing = false;
  m_nLogFailures = 0;
  m_nLinesDropped = m_nLossToTell = 0;
  WriteLog(LoadString(IDS_LOG_HEADER));
  if (m_bCsvInUse) WriteCsv(SecondCsvHeaderLine());
  return true;
}

bool CMonitorDlg::OpenCsvBesideLog() {
  const std::string csv = CsvPath();
  int err = m_CsvFile.Hold(csv);
  if (err == 0) {
    err = m_CsvFile.Empty();
    if (err == 0) return true;
  }
  m_nLogOpenErrno = err;
  m_strLogOpenFailPath = csv;
  m_Platform.MessageBox("Cannot open " + csv, BoxKind::Ok,
                        OpenErrorDetail(err, m_CsvFile.NotAFile()));
  return false;
}

void CMonitorDlg::WriteCsv(std::string_view text) {
  if (!m_bCsvInUse) return;
  const int err = m_CsvFile.Write(text);
  if (err == 0) {
    m_bCsvFailing = false;
    return;
  }
  ReportCsvError(err);
}

void CMonitorDlg::WriteSecondRecord(const SecondRecord& record) {
  WriteCsv(SecondCsvLine(record));
}

void CMonitorDlg::WriteLog(std::string_view text) {
  m_Platform.LogText(text);
  const int err = m_LogFile.Write(text);
  if (err == 0) {
    LogWorks();
    return;
  }
  ReportLogError(err);
}

void CMonitorDlg::SyncLog() {
  const int err = m_LogFile.Sync();
  if (err == 0) {
    LogWorks();
  } else {
    ReportLogError(err);
  }
  if (!m_bCsvInUse) return;
  if (const int csvErr = m_CsvFile.Sync(); csvErr != 0) {
    ReportCsvError(csvErr);
  } else {
    m_bCsvFailing = false;
  }
}

void CMonitorDlg::LogWorks() {
  if (!m_bLogFailing) return;
  m_bLogFailing = false;
  if (m_nLinesDropped != 0) {
    // The file now marks where the lines are missing; the user hears how many.
    m_nLossToTell += std::exchange(m_nLinesDropped, 0);
    if (!*m_pLogBoxOpen && m_nOpenQuestions == 0) TellLogFailure();
  }
  Tell([](IMonitorObserver& o) { o.OnLogRecovered(); });
}

void CMonitorDlg::CloseLogFile() {
  const int err = m_LogFile.Close();
  m_bLogFailing = false;
  if (err != 0) TellCloseFailure(m_LogFile, err, m_strLogPath);
  m_bCsvFailing = false;
  if (const int csvErr = m_CsvFile.Close(); csvErr != 0) {
    TellCloseFailure(m_CsvFile, csvErr, CsvPath());
  }
}

void CMonitorDlg::TellCloseFailure(const LogFile& file, int err, const std::string& path) {
  // What Close could not write either is lost.
  const std::size_t kept = file.KeptBytes();
  const auto dropped = file.DroppedLines();
  m_strLogFailPath = path;
  ++m_nLogFailures;
  Tell([&](IMonitorObserver& o) { o.OnLogWriteFailed({err, kept, dropped}); });
  // The last chance to write has passed. This box waits for the user, so that
  // an exit right after it cannot take it away unseen.
  std::string detail = path == m_strLogPath ? "The log file was closed" : "The CSV file was closed";
  if (kept != 0 || dropped != 0) {
    detail += "; " + std::to_string(kept) + " bytes";
    if (dropped != 0) detail += " and " + std::to_string(dropped) + " further lines";
    detail += " could not be written and are lost";
  }
  m_Platform.MessageBox(LogErrorText(err), BoxKind::Ok, detail + ".");
}

// One box per failure episode: the episode ends when a write succeeds again.
// The box does not hold up the tick, so polling goes on while it is open. A
// failure that begins while the box is open is told when it closes, if the
// failure still goes on then.
void CMonitorDlg::ReportLogError(int err) {
  ReportFileError(err, m_strLogPath);
}

// A failing CSV is told once until it can be written again, whatever the log does.
void CMonitorDlg::ReportCsvError(int err) {
  if (m_bCsvFailing) {
    // One box for the episode, but observers hear of every failure.
    ++m_nLogFailures;
    const LogFailure failure{err, m_LogFile.KeptBytes(), m_LogFile.DroppedLines()};
    Tell([&](IMonitorObserver& o) { o.OnLogWriteFailed(failure); });
    return;
  }
  m_bCsvFailing = true;
  ReportFileError(err, CsvPath());
}

void CMonitorDlg::ReportFileError(int err, const std::string& path) {
  m_strLogFailPath = path;
  ++m_nLogFailures;
  const LogFailure failure{err, m_LogFile.KeptBytes(), m_LogFile.DroppedLines()};
  Tell([&](IMonitorObserver& o) { o.OnLogWriteFailed(failure); });
  if (!m_bLogFailing) {
    m_bLogFailing = true;
    m_bLogFailureTold = false;
  }
  m_nLogErrno = err;
  // Crossing the keeping bound is told once, as a failure of its own: from
  // here on lines are lost, not kept.
  if (failure.droppedLines < m_nLinesDropped) {
    m_nLossToTell += m_nLinesDropped;  // that loss was written, then writing failed again
    m_nLinesDropped = 0;
  }
  if (failure.droppedLines != 0 && m_nLinesDropped == 0) m_bLogFailureTold = false;
  m_nLinesDropped = failure.droppedLines;
  // Never over an open question: that one tells it once it is answered.
  if (!m_bLogFailureTold && !*m_pLogBoxOpen && m_nOpenQuestions == 0) TellLogFailure();
}

// Shows the box that is due, if any: a failure not told yet, else how many
// lines a failure that is over has lost.
void CMonitorDlg::TellLogFailure() {
  std::string text;
  std::string detail;
  if (m_bLogFailing && !m_bLogFailureTold) {
    m_bLogFailureTold = true;
    text = LogErrorText(m_nLogErrno);
    detail = LogErrorDetail(m_nLogErrno);
  } else if (m_nLossToTell != 0) {
    text = "Writing " + m_strLogPath + " works again.";
    detail = LinesText(std::exchange(m_nLossToTell, 0)) +
             " could not be kept while it failed and lost; the log marks where.";
  } else {
    return;
  }
  *m_pLogBoxOpen = true;
  const std::weak_ptr<bool> alive = m_pLogBoxOpen;  // the box may outlive the dialog
  m_Platform.ShowNotice(text, detail, [this, alive] {
    const auto open = alive.lock();
    if (!open) return;
    *open = false;
    TellLogFailure();
  });
}

std::string CMonitorDlg::LogErrorText(int err) const {
  const std::string& path = m_strLogFailPath.empty() ? m_strLogPath : m_strLogFailPath;
  return "An error occurred while writing " + path + ": " + SysErrorText(err) + ".";
}

std::string CMonitorDlg::LogErrorDetail(int err) const {
  if (err == EBADF) return "The log file is not open; the text was not written.";
  const std::uint64_t dropped = m_LogFile.DroppedLines();
  if (dropped == 0) {
    return "The lines are kept and written, in order, as soon as the file can be written again.";
  }
  return "The first " + std::to_string(LogFile::kKeepLimit >> 20) +
         " MiB of lines are kept and written, in order, as soon as the file can be written "
         "again; " +
         LinesText(dropped) + " after them could not be kept and " + (dropped == 1 ? "is" : "are") +
         " lost, and so is every further line until then.";
}

}  // namespace linkwatch
