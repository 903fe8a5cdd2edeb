#include "control/monitor_dlg.h"

#include <algorithm>
#include <array>
#include <string>

#include "control/resource.h"
#include "record/log_path.h"

namespace linkwatch {

namespace {

struct ComItem {
  int port;
  unsigned command;
  int stringId;
};

constexpr std::array<ComItem, 4> kComItems{{
    {1, IDM_COM1, IDS_COM1},
    {2, IDM_COM2, IDS_COM2},
    {3, IDM_COM3, IDS_COM3},
    {4, IDM_COM4, IDS_COM4},
}};

// The menu item of a port; anything but 2 to 4 counts as COM1.
const ComItem& ComItemOf(int port) {
  for (const ComItem& item : kComItems) {
    if (item.port == port) return item;
  }
  return kComItems[0];
}

}  // namespace

CMonitorDlg::CMonitorDlg(IPlatform& platform, ISerialPort& serial, ISleepLock& sleepLock)
    : m_Platform(platform), m_Serial(serial), m_SleepLock(sleepLock) {
  m_ListResults.SetLogSource(&m_LogFile);
}

CMonitorDlg::CMonitorDlg(IPlatform& platform, ISerialPort& serial, IDeviceList& devices,
                         ISleepLock& sleepLock)
    : CMonitorDlg(platform, serial, sleepLock) {
  m_pDevices = &devices;
}

CMonitorDlg::~CMonitorDlg() {
  // Both only act when the dialog ends while a test still runs.
  m_Serial.Close();
  m_LogFile.Close();
}

bool CMonitorDlg::OnInitDialog() {
  if (m_Platform.HasSystemMenu()) {
    for (const ComItem& item : kComItems) {
      const std::string_view text = LoadString(item.stringId);
      if (text.empty()) continue;
      if (item.port == 1) {
        m_Platform.AppendMenu(MenuItem::Separator, 0, {});
        m_Platform.AppendMenu(MenuItem::CheckedString, item.command, text);
      } else {
        m_Platform.AppendMenu(MenuItem::String, item.command, text);
      }
    }
    const std::string_view about = LoadString(IDS_ABOUTBOX);
    if (!about.empty()) {
      m_Platform.AppendMenu(MenuItem::Separator, 0, {});
      m_Platform.AppendMenu(MenuItem::String, IDM_ABOUTBOX, about);
    }
    ListDevices();
  }

  m_Platform.ComboSetCurSel(IDC_DURATION, 0);
  m_nDuration = 0;
  m_bRunning = false;
  m_Platform.SetCheck(IDC_START, false);
  m_Platform.ShowControl(IDC_STOP, false);
  m_Platform.EnableControl(IDC_ELAPSED_GROUP, false);
  m_Platform.EnableControl(IDC_ELAPSED, false);

  m_dPackets = m_dUcErr = m_dCErr = m_dSyncLoss = 0.0;
  m_pRead = m_pWrite = m_RxRing.data();
  m_nComPort = 1;

  m_strLogPath = DefaultLogPath(CurrentDirectory());
  SetLogDisplay(m_strLogPath);
  UpdateData();
  return true;
}

void CMonitorDlg::UpdateData() {
  m_Platform.SetItemText(IDC_LOG_FILE, m_strLogDisplay);
}

void CMonitorDlg::SetLogPath(const std::string& path) {
  m_strLogPath = path;
  SetLogDisplay(m_strLogPath);
  UpdateData();
}

void CMonitorDlg::AddObserver(IMonitorObserver* observer) {
  if (observer != nullptr) m_Observers.push_back(observer);
}

void CMonitorDlg::RemoveObserver(IMonitorObserver* observer) {
  std::erase(m_Observers, observer);
}

std::string CMonitorDlg::PortName() const {
  return m_strPortName.empty() ? "COM" + std::to_string(m_nComPort) : m_strPortName;
}

bool CMonitorDlg::OnSysCommand(unsigned nID) {
  const unsigned command = nID & kSysCommandMask;
  if (command == IDM_ABOUTBOX) {
    m_Platform.ShowAbout();
    return true;
  }
  for (const ComItem& item : kComItems) {
    if (item.command == command) {
      SelectComPort(item.port);
      return true;
    }
  }
  return OnDeviceCommand(command);
}

void CMonitorDlg::SelectComPort(int nPort) {
  ForgetDevice();
  m_Platform.CheckMenuItem(ComItemOf(m_nComPort).command, false);
  const ComItem& chosen = ComItemOf(nPort);
  m_Platform.CheckMenuItem(chosen.command, true);
  const std::string text = std::string(LoadString(chosen.stringId)) + " selected";
  m_Platform.MessageBox(text, BoxKind::Ok);
  m_nComPort = nPort;
}

void CMonitorDlg::EnableComMenu(bool bGray) {
  for (const ComItem& item : kComItems) m_Platform.EnableMenuItem(item.command, !bGray);
  EnableDeviceMenu(bGray);
}

}  // namespace linkwatch
