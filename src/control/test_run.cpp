#include <string>

#include "control/durations.h"
#include "control/monitor_dlg.h"
#include "control/port_failure_text.h"
#include "control/resource.h"
#include "control/stamp_texts.h"
#include "control/tick_second.h"

namespace linkwatch {

namespace {

struct ControlStates {
  int id;
  bool running;
  bool stopped;
};

// How the controls look while a test runs and after it stopped.
constexpr ControlStates kControlStates[] = {
    {IDC_DURATION, false, true},    {IDC_DURATION_GROUP, false, true},
    {IDC_START_GROUP, true, false}, {IDC_START_TIME, true, false},
    {IDC_STOP_GROUP, false, true},  {IDC_ELAPSED_GROUP, true, false},
    {IDC_ELAPSED, true, false},
};

}  // namespace

void CMonitorDlg::SetRunningControls(bool bRunning) {
  for (const ControlStates& c : kControlStates) {
    m_Platform.EnableControl(c.id, bRunning ? c.running : c.stopped);
  }
}

void CMonitorDlg::ShowInList(int id, const std::string& text) {
  m_Platform.ListReset(id);
  m_Platform.ListInsert(id, 0, text);
}

Seconds CMonitorDlg::Elapsed() const {
  return m_Platform.Monotonic() - m_tStartMonotonic;
}

void CMonitorDlg::FailStart(StartFailure failure) {
  Tell([&](IMonitorObserver& o) { o.OnStartFailed(failure); });
}

void CMonitorDlg::OnStart() {
  if (m_bRunning) return;

  // The question covers the CSV beside the log: both are emptied together.
  const auto exists = [this] {
    return FileExists(m_strLogPath) || (m_bCsvWanted && FileExists(CsvPath()));
  };
  bool opened = false;
  if (!exists()) {
    opened = OpenLogFile();
  } else if (Ask("Overwrite Existing File?") == BoxAnswer::Yes) {
    opened = OpenLogFile();
  } else {
    if (!SelectLogFile()) {
      StartFailure failure;
      failure.code = StartError::Cancelled;
      failure.subject = FileExists(m_strLogPath) ? m_strLogPath : CsvPath();
      FailStart(failure);
      return;
    }
    SetLogDisplay(m_strLogPath);
    UpdateData();
    // The file dialog asked about the log it names, not about a CSV beside it.
    if (!FileExists(m_strLogPath) && exists() &&
        Ask("Overwrite Existing File?") != BoxAnswer::Yes) {
      StartFailure failure;
      failure.code = StartError::Cancelled;
      failure.subject = CsvPath();
      FailStart(failure);
      return;
    }
    opened = OpenLogFile();
  }
  if (!opened && !OpenAnotherLogFile()) {
    StartFailure failure;
    failure.code = StartError::Log;
    failure.sysErrno = m_nLogOpenErrno;
    failure.subject = m_strLogOpenFailPath;
    FailStart(failure);
    return;
  }

  if (!OpenPort()) {
    const std::string message = "Cannot Open " + PortName();
    StartFailure failure;
    failure.code = StartError::Port;
    failure.facts = m_Serial.LastFailure();
    failure.sysErrno = failure.facts.sysErrno;
    failure.subject = PortName();
    m_Platform.MessageBox(message, BoxKind::Ok, PortFailureDetail(failure.facts, PortName()));
    m_Platform.SetCheck(IDC_START, false);
    WriteLog("\r\n     ");
    WriteLog(message);
    WriteLog(" - recording terminated");
    CloseLogFile();
    FailStart(failure);
    return;
  }

  m_bRunning = true;
  EnableComMenu(true);
  m_Platform.SetCheck(IDC_START, true);
  m_Platform.ShowControl(IDC_STOP, true);
  SetRunningControls(true);
  ShowInList(IDC_ELAPSED, ElapsedText(0));
  m_tStart = m_Platform.Now();
  m_tStartMonotonic = m_Platform.Monotonic();
  ShowInList(IDC_START_TIME, StampText(m_tStart));
  m_Platform.ListReset(IDC_STOP_TIME);
  m_Platform.SetTimer(ID_TICK_TIMER, kTickMilliseconds);
  m_dPackets = m_dCErr = m_dUcErr = m_dSyncLoss = 0.0;
  m_nMissedTicks = 0;
  m_nErrorRows = 0;
  m_Decoder = FrameDecoder{};  // a frame cut short by the last stop must not finish in this test
  m_ListResults.DeleteAllItems();
  Tell([&](IMonitorObserver& o) {
    o.OnTestStarted({PortName(), m_strLogPath, m_nDuration, m_tStart});
  });
  AddResultRow();
  SyncLog();
  // Last, so that a slow bus cannot delay the start stamp or the first row.
  m_SleepLock.Acquire();
}

void CMonitorDlg::OnTimer(int /*nIDEvent*/) {
  // A tick that was already queued when the test stopped changes nothing.
  if (!m_bRunning) return;
  // Measured on the clock that never steps: setting the calendar clock must
  // neither end a test early nor make it run on.
  const Seconds e = Elapsed();
  ShowInList(IDC_ELAPSED, ElapsedText(e));
  if (m_nDuration != 0 && e >= m_nDuration) StopTest(StopReason::Duration);
  if (!m_bRunning) return;
  CheckLogPlace();
  m_nTickFrames = 0;
  m_TickStart = CurrentTotals();
  PollLink();
  const Totals now = CurrentTotals();
  const TickRecord tick{
      m_tPoll,
      e,
      {now.packets - m_TickStart.packets, now.ucErr - m_TickStart.ucErr,
       now.cErr - m_TickStart.cErr, now.syncLoss - m_TickStart.syncLoss},
      m_nTickFrames,
      LineNow(),
  };
  WriteSecondRecord(SecondOf(tick));
  SyncLog();
  Tell([&](IMonitorObserver& o) { o.OnTick(tick); });
}

void CMonitorDlg::StopTest(StopReason why) {
  DismissStaleQuestion();
  m_bRunning = false;
  m_Platform.SetCheck(IDC_START, false);
  m_Platform.ShowControl(IDC_STOP, false);
  SetRunningControls(false);
  const Seconds now = m_Platform.Now();
  m_Platform.ListInsert(IDC_STOP_TIME, 0, StampText(now));
  ShowInList(IDC_ELAPSED, ElapsedText(Elapsed()));
  EnableComMenu(false);
  m_Platform.KillTimer(ID_TICK_TIMER);
  m_Serial.Close();
  AddResultRow();
  SettleLogPlace();
  CloseLogFile();
  // Only once the log is on the disk may the machine sleep.
  m_SleepLock.Release();
  Tell([&](IMonitorObserver& o) { o.OnTestStopped(why, now); });
}

void CMonitorDlg::OnStop() {
  if (!m_bRunning) return;
  // The question's nested loop goes on ticking: when the duration ends the
  // test meanwhile, the stop closes the question as No. Where a platform
  // cannot close it, a Yes then finds nothing left to stop.
  if (Ask("Stop Test?") == BoxAnswer::Yes && m_bRunning) {
    StopTest(StopReason::Stop);
  }
}

void CMonitorDlg::OnSelchangeDuration() {
  const int index = m_Platform.ComboGetCurSel(IDC_DURATION);
  if (index < 0) return;
  m_nDuration = DurationSeconds(index);
}

void CMonitorDlg::OnOK() {
  if (m_Platform.HasFocus(IDC_START)) OnStart();
}

void CMonitorDlg::OnCancel() {
  if (m_bRunning) {
    const BoxAnswer answer = Ask("Stop Test and Exit Application?");
    if (m_bQuestionDismissed) {
      // The duration ended the test while the question was open, which took
      // the question away; leaving is still wanted, so ask what is left.
      if (Ask("Exit Application?") != BoxAnswer::Yes) return;
    } else if (answer != BoxAnswer::Yes) {
      return;
    } else if (m_bRunning) {
      StopTest(StopReason::Exit);  // a tick may have ended it while the question was open
    }
  } else if (Ask("Exit Application?") != BoxAnswer::Yes) {
    return;
  }
  m_Platform.EndDialog(IDCANCEL);
}

}  // namespace linkwatch
