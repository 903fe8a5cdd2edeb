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
    // The quiet ticks in a row: none, one, or the loss reported.
    const int missed = dlg.MissedTicks();
    facts.line = missed == 0   ? StatusFacts::Line::Up
                 : missed == 1 ? StatusFacts::Line::Quiet
                               : StatusFacts::Line::Lost;
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
