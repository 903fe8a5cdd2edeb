#include "control/port_failure_text.h"

#include "base/sys_error.h"

namespace linkwatch {

std::string PortFailureDetail(const SerialFailure& failure, int port) {
  const std::string device = failure.device.empty() ? "the device" : failure.device;
  const std::string com = "COM" + std::to_string(port);
  const std::string reason =
      failure.sysErrno != 0 ? " (" + SysErrorText(failure.sysErrno) + ")" : std::string();
  switch (failure.code) {
    case SerialError::NoDevice:
      return device + ": no such device" + reason + ". Plug the adapter in, or map " + com +
             " to your device, for example LINKWATCH_" + com +
             "=/dev/ttyUSB0 or a path under /dev/serial/by-id/.";
    case SerialError::Busy:
      return device + " is busy: another program, or another copy of linkwatch, holds it" + reason +
             ". Close that program and start again.";
    case SerialError::Permission:
      return device + ": permission denied" + reason +
             ". Add your user to the dialout group (sudo usermod -aG dialout $USER), then log out "
             "and in again.";
    case SerialError::Settings:
      return device + ": the driver refused 9600 baud with 8 data bits" + reason + ".";
    case SerialError::None:
    case SerialError::Other:
      break;
  }
  return device + reason + ".";
}

}  // namespace linkwatch
