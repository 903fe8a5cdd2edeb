#include "ui/status_facts.h"

#include "control/monitor_dlg.h"
#include "link/serial_port.h"

namespace linkwatch {

StatusFacts ReadStatusFacts(const CMonitorDlg& dlg) {
  StatusFacts facts;
  facts.port = dlg.PortName();
  // A front end that opens a device by path names the device itself.
  facts.device = facts.port == "COM" + std::to_string(dlg.ComPort())
                     ? CSerialPort::DevicePath(dlg.ComPort())
                     : facts.port;
  if (dlg.IsRunning()) {
    switch (dlg.LineNow()) {
      case LineState::Up:
        facts.line = StatusFacts::Line::Up;
        break;
      case LineState::Quiet:
        facts.line = StatusFacts::Line::Quiet;
        break;
      case LineState::Lost:
        facts.line = StatusFacts::Line::Lost;
        break;
    }
  }
  facts.rows = dlg.Results().Count();
  if (dlg.LogFailing()) {
    facts.log = StatusFacts::Log::Failing;
    facts.keptBytes = dlg.LogKeptBytes();
  } else if (dlg.LogOpen()) {
    facts.log = StatusFacts::Log::Open;
  }
  return facts;
}

}  // namespace linkwatch
