#include "ui/device_watch.h"

#include "control/monitor_dlg.h"

namespace linkwatch {

DeviceWatch::DeviceWatch(CMonitorDlg& dlg, QObject* parent) : QObject(parent) {
  const int fd = dlg.DeviceChangeFd();
  if (fd < 0) return;
  m_notifier = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
  connect(m_notifier.get(), &QSocketNotifier::activated, this, [&dlg] { dlg.OnDeviceChange(); });
}

}  // namespace linkwatch
