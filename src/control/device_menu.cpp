// The serial devices present, listed in the system menu below COM1 to COM4
// and chosen there as a COM port is.
#include <algorithm>
#include <string>

#include "control/monitor_dlg.h"
#include "control/resource.h"

namespace linkwatch {

namespace {

unsigned DeviceCommand(std::size_t index) {
  return IDM_DEVICE_FIRST + 16 * static_cast<unsigned>(index);
}

// A menu takes '&' as the mark of its access key; a path shows it as it is.
std::string MenuText(const std::string& path) {
  std::string text;
  for (const char c : path) {
    if (c == '&') text += '&';
    text += c;
  }
  return text;
}

}  // namespace

void CMonitorDlg::ListDevices() {
  std::vector<std::string> devices = m_pDevices->Devices();
  if (devices.size() > kMaxDeviceItems) devices.resize(kMaxDeviceItems);
  if (devices == m_Devices) return;
  for (std::size_t i = 0; i < m_Devices.size(); ++i) m_Platform.DeleteMenu(DeviceCommand(i));
  if (!m_Devices.empty()) m_Platform.DeleteMenu(IDM_DEVICE_SEPARATOR);
  m_Devices = std::move(devices);
  if (m_Devices.empty()) return;
  // Between the separator after COM4 and the one in front of About.
  for (std::size_t i = 0; i < m_Devices.size(); ++i) {
    const bool chosen = m_Devices[i] == m_strDevice;
    const unsigned command = DeviceCommand(i);
    m_Platform.InsertMenu(IDM_ABOUTBOX, chosen ? MenuItem::CheckedString : MenuItem::String,
                          command, MenuText(m_Devices[i]));
    // A device that comes during a test cannot be chosen until it ends.
    if (m_bRunning) m_Platform.EnableMenuItem(command, false);
  }
  m_Platform.InsertMenu(IDM_ABOUTBOX, MenuItem::Separator, IDM_DEVICE_SEPARATOR, {});
}

void CMonitorDlg::OnDeviceChange() {
  if (m_pDevices->TakeChanges() && m_Platform.HasSystemMenu()) ListDevices();
}

bool CMonitorDlg::OnDeviceCommand(unsigned command) {
  if (command < IDM_DEVICE_FIRST || (command - IDM_DEVICE_FIRST) % 16 != 0) return false;
  const std::size_t index = (command - IDM_DEVICE_FIRST) / 16;
  if (index >= m_Devices.size()) return false;
  SelectDevice(m_Devices[index]);
  return true;
}

void CMonitorDlg::SelectDevice(const std::string& path) {
  ForgetDevice();
  const int port = (m_nComPort >= 2 && m_nComPort <= 4) ? m_nComPort : 1;
  m_Platform.CheckMenuItem(IDM_COM1 + (IDM_COM2 - IDM_COM1) * static_cast<unsigned>(port - 1),
                           false);
  const auto it = std::find(m_Devices.begin(), m_Devices.end(), path);
  if (it != m_Devices.end()) {
    m_Platform.CheckMenuItem(DeviceCommand(static_cast<std::size_t>(it - m_Devices.begin())), true);
  }
  // Chosen before the notice, so that a list refreshed while it is open
  // marks this device; no test can start while the notice is open.
  m_strDevice = path;
  SetPortName(path);
  m_Platform.MessageBox(path + " selected", BoxKind::Ok);
}

void CMonitorDlg::ForgetDevice() {
  if (m_strDevice.empty()) return;
  const auto it = std::find(m_Devices.begin(), m_Devices.end(), m_strDevice);
  if (it != m_Devices.end()) {
    m_Platform.CheckMenuItem(DeviceCommand(static_cast<std::size_t>(it - m_Devices.begin())),
                             false);
  }
  m_strDevice.clear();
  SetPortName({});
}

void CMonitorDlg::EnableDeviceMenu(bool bGray) {
  for (std::size_t i = 0; i < m_Devices.size(); ++i) {
    m_Platform.EnableMenuItem(DeviceCommand(i), !bGray);
  }
}

bool CMonitorDlg::OpenPort() {
  constexpr int kBaudRate = 9600;
  return m_strDevice.empty() ? m_Serial.Open(m_nComPort, kBaudRate)
                             : m_Serial.OpenDevice(m_strDevice, kBaudRate);
}

}  // namespace linkwatch
