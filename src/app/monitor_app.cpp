#include "app/monitor_app.h"

#include <cstddef>
#include <cstdio>

#include "app/about_dlg.h"
#include "app/termination_signals.h"
#include "control/monitor_dlg.h"
#include "link/sd_device_list.h"
#include "link/serial_port.h"
#include "system/sleep_inhibitor.h"
#include "ui/device_watch.h"
#include "ui/dialog_binding.h"
#include "ui/monitor_window.h"

namespace linkwatch {

namespace {

// Stops the signals from reaching the window before the window goes.
class SignalWatch {
 public:
  SignalWatch(TerminationSignals* endSignals, MonitorWindow& window) : m_signals(endSignals) {
    if (m_signals != nullptr) m_signals->Watch([&window](int) { window.EndFromOutside(); });
  }
  SignalWatch(const SignalWatch&) = delete;
  SignalWatch& operator=(const SignalWatch&) = delete;
  ~SignalWatch() {
    if (m_signals != nullptr) m_signals->Watch({});
  }

 private:
  TerminationSignals* m_signals;
};

// Rows the window keeps in memory, about 40 MB; older ones are read back from
// the log when they are scrolled to.
constexpr std::size_t kRowsInMemory = 1'000'000;

}  // namespace

bool CMonitorApp::InitInstance(TerminationSignals* endSignals) {
  CSerialPort serial;
  SleepInhibitor sleepLock;
  SdDeviceList devices;
  if (!devices.WatchError().empty()) {
    // The menu still lists what is present at start-up.
    std::fprintf(stderr, "linkwatch: %s\n", devices.WatchError().c_str());
  }
  MonitorWindow window;
  window.SetAboutBox(ShowAboutBox);
  CMonitorDlg dlg(window, serial, devices, sleepLock);
  dlg.Results().SetRowBound(kRowsInMemory);
  const DialogBinding binding(window, dlg);
  const SignalWatch watch(endSignals, window);
  dlg.OnInitDialog();
  const DeviceWatch deviceWatch(dlg);
  window.exec();
  return false;
}

}  // namespace linkwatch
