#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "acquire/frame_decoder.h"
#include "acquire/rx_ring.h"
#include "base/totals.h"
#include "control/monitor_events.h"
#include "control/platform.h"
#include "link/device_list.h"
#include "link/serial_link.h"
#include "quality/second_record.h"
#include "record/local_time.h"
#include "record/log_file.h"
#include "record/results_table.h"
#include "system/sleep_lock.h"

namespace linkwatch {

// The main dialog's state and handlers: everything a link test does, with the
// window reached only through IPlatform, the port through ISerialPort and the
// sleep lock through ISleepLock; what happens is told to IMonitorObservers.
class CMonitorDlg {
 public:
  CMonitorDlg(IPlatform& platform, ISerialPort& serial,
              ISleepLock& sleepLock = NoSleepLock::Shared());
  // With the serial devices to offer below COM1 to COM4.
  CMonitorDlg(IPlatform& platform, ISerialPort& serial, IDeviceList& devices,
              ISleepLock& sleepLock = NoSleepLock::Shared());
  CMonitorDlg(const CMonitorDlg&) = delete;
  CMonitorDlg& operator=(const CMonitorDlg&) = delete;
  ~CMonitorDlg();

  // Dialog shell.
  bool OnInitDialog();
  // A system-menu command; false when it is not one of ours, so the platform
  // handles it itself.
  bool OnSysCommand(unsigned nID);
  void SelectComPort(int nPort);
  void EnableComMenu(bool bGray);
  void UpdateData();

  // Serial devices in the system menu.
  // The descriptor that the front end's loop watches; -1 when none.
  int DeviceChangeFd() const { return m_pDevices->ChangeFd(); }
  // The descriptor was readable: the device items follow what is present.
  void OnDeviceChange();
  void SelectDevice(const std::string& path);
  // The devices the menu lists, in its order.
  const std::vector<std::string>& ListedDevices() const { return m_Devices; }
  // The device chosen by path; empty while a COM port is chosen.
  const std::string& Device() const { return m_strDevice; }

  // Test run.
  void OnStart();
  void OnStop();
  void OnSelchangeDuration();
  // Any duration in seconds (0 = continuous), for front ends not limited to
  // the list's items. Ignored while a test runs, as the list is then.
  void SetDuration(int seconds) {
    if (!m_bRunning) m_nDuration = seconds;
  }
  void OnTimer(int nIDEvent);
  void StopTest(StopReason why = StopReason::Stop);
  void OnOK();
  void OnCancel();

  // Link poll and decoder.
  void PollLink();
  void DecodeFrames();

  // Rows and log.
  void AddResultRow();
  void AddStatusRow(bool bRestored, Seconds tPoll);
  bool OpenLogFile();
  void WriteLog(std::string_view text);
  void CloseLogFile();
  // Once a tick: a log deleted or moved meanwhile is put back or followed.
  void CheckLogPlace();
  // The same, last, before the log is closed; a log that could not be put
  // back is then lost, and the user is told so.
  void SettleLogPlace();

  // Log path.
  bool SelectLogFile();
  void SetLogDisplay(const std::string& path);

  // Read access for the window, the terminal front end and the tests.
  bool IsRunning() const { return m_bRunning; }
  int ComPort() const { return m_nComPort; }
  int Duration() const { return m_nDuration; }
  // Calendar time of the start, as the start stamp shows it.
  Seconds StartTime() const { return m_tStart; }
  Totals CurrentTotals() const { return {m_dPackets, m_dUcErr, m_dCErr, m_dSyncLoss}; }
  int ErrorRows() const { return m_nErrorRows; }
  int MissedTicks() const { return m_nMissedTicks; }
  // The line as the watch sees it: up, quiet, or its loss declared.
  LineState LineNow() const;
  const std::string& LogPath() const { return m_strLogPath; }
  const std::string& LogDisplay() const { return m_strLogDisplay; }
  const ResultsTable& Results() const { return m_ListResults; }
  ResultsTable& Results() { return m_ListResults; }
  // Failed writes, syncs and closes of the log since it was last opened.
  int LogFailures() const { return m_nLogFailures; }
  bool LogOpen() const { return m_LogFile.IsOpen(); }
  // Writing the log fails now; the text not yet written is kept.
  bool LogFailing() const { return m_bLogFailing; }
  std::size_t LogKeptBytes() const { return m_LogFile.KeptBytes(); }
  bool HoldsSleepLock() const { return m_SleepLock.Held(); }
  int ReadPos() const { return RingPos(m_RxRing, m_pRead); }
  int WritePos() const { return RingPos(m_RxRing, m_pWrite); }

  // The per-second CSV beside the log: on by default; a change applies from
  // the next START.
  void SetCsvEnabled(bool enabled) { m_bCsvWanted = enabled; }
  bool CsvEnabled() const { return m_bCsvWanted; }
  // Whether the running (or last) test writes the CSV, and where.
  bool CsvInUse() const { return m_bCsvInUse; }
  // Appends one second of the running test to the CSV, when it is in use.
  void WriteSecondRecord(const SecondRecord& record);
  std::string CsvPath() const;

  // Where the log goes; for front ends that choose it before the first START.
  void SetLogPath(const std::string& path);
  // The port as messages and the log name it: "COM<n>", or the name a front
  // end that opens a device by path has set.
  std::string PortName() const;
  void SetPortName(const std::string& name) { m_strPortName = name; }

  // Front ends that act on what happens. Not owned; remove before it goes.
  void AddObserver(IMonitorObserver* observer);
  void RemoveObserver(IMonitorObserver* observer);

 protected:
  // The tests place bytes and positions directly.
  RxRing m_RxRing{};
  std::uint8_t* m_pRead = m_RxRing.data();
  std::uint8_t* m_pWrite = m_RxRing.data();

 private:
  void CompleteFrame(const FrameCounts& frame);
  int ReadIntoRing(int n);
  void SetRunningControls(bool bRunning);
  void ShowInList(int id, const std::string& text);
  Seconds Elapsed() const;
  void ReportLogError(int err);
  void TellLogFailure();
  std::string LogErrorText(int err) const;
  std::string LogErrorDetail(int err) const;
  void SyncLog();
  void ReportCsvError(int err);
  void ReportFileError(int err, const std::string& path);
  bool OpenCsvBesideLog();
  void WriteCsv(std::string_view text);
  void TellCloseFailure(const LogFile& file, int err, const std::string& path);
  void LogWorks();
  void FailStart(StartFailure failure);
  std::string OrphanedLogText() const;
  template <class Event>
  void Tell(Event event) {
    for (IMonitorObserver* observer : m_Observers) event(*observer);
  }
  void ListDevices();
  bool OnDeviceCommand(unsigned command);
  void EnableDeviceMenu(bool bGray);
  void ForgetDevice();
  bool OpenPort();
  bool OpenAnotherLogFile();
  BoxAnswer Ask(std::string_view question);
  void DismissStaleQuestion();

  IPlatform& m_Platform;
  NoDeviceList m_NoDevices;
  IDeviceList* m_pDevices = &m_NoDevices;
  std::vector<std::string> m_Devices;  // the device items, command by command
  std::string m_strDevice;             // the device chosen by path, if any
  // Yes/No boxes open now; a log notice waits until none is.
  int m_nOpenQuestions = 0;
  bool m_bQuestionDismissed = false;  // the test stopped while the question was open

  int m_nErrorRows = 0;
  int m_nComPort = 1;
  double m_dPackets = 0.0;
  double m_dCErr = 0.0;
  double m_dUcErr = 0.0;
  double m_dSyncLoss = 0.0;
  bool m_bRunning = false;
  std::string m_strLogPath;
  ISerialPort& m_Serial;
  LogFile m_LogFile;
  int m_nMissedTicks = 0;
  Seconds m_tStart = 0;
  ResultsTable m_ListResults;
  int m_nDuration = 0;
  std::string m_strLogDisplay;

  FrameDecoder m_Decoder;
  std::string m_strPortName;
  // One log-error box per failure episode, and never a second one while one is open.
  bool m_bLogFailing = false;
  bool m_bLogFailureTold = false;  // a box has been shown for the current episode
  int m_nLogErrno = 0;             // the latest failure's errno
  int m_nLogFailures = 0;
  // Lines dropped beyond the keeping bound: the count so far, and a count
  // whose loss is over (written in the log) and still to be told.
  std::uint64_t m_nLinesDropped = 0;
  std::uint64_t m_nLossToTell = 0;
  // Shared with the box's close callback, which may outlive the dialog.
  std::shared_ptr<bool> m_pLogBoxOpen = std::make_shared<bool>(false);
  bool m_bLogOrphaned = false;   // deleted, and its path cannot be created yet
  int m_nLogPlaceErrno = 0;      // why it cannot
  std::string m_strLogFailPath;  // the file the latest failure was on: the log or its CSV
  // The per-second CSV: held, written and synced beside the log.
  LogFile m_CsvFile;
  bool m_bCsvWanted = true;
  bool m_bCsvInUse = false;
  bool m_bCsvFailing = false;
  int m_nLogOpenErrno = 0;           // why the last OpenLogFile failed
  std::string m_strLogOpenFailPath;  // and on which file: the log or its CSV
  // Keeps the machine from sleeping while a test runs.
  ISleepLock& m_SleepLock;
  std::vector<IMonitorObserver*> m_Observers;
  // This tick's frames and counts, for the tick's record.
  std::uint32_t m_nTickFrames = 0;
  Totals m_TickStart;
  Seconds m_tPoll = 0;            // when the last poll began
  Seconds m_tStartMonotonic = 0;  // the start on the platform's monotonic clock
};

}  // namespace linkwatch
