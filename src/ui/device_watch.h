#pragma once

#include <QObject>
#include <QSocketNotifier>

#include <memory>

namespace linkwatch {

class CMonitorDlg;

// Hands the device monitor's events to the dialog on the window's own
// thread: a notifier on the monitor's descriptor calls the dialog whenever a
// serial device may have come or gone. Does nothing where devices cannot be
// watched. The dialog must outlive it.
class DeviceWatch : public QObject {
  Q_OBJECT

 public:
  explicit DeviceWatch(CMonitorDlg& dlg, QObject* parent = nullptr);

  bool Watching() const { return m_notifier != nullptr; }

 private:
  std::unique_ptr<QSocketNotifier> m_notifier;
};

}  // namespace linkwatch
