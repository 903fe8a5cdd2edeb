#include "control/port_failure_text.h"

#include "base/sys_error.h"

namespace linkwatch {

std::string PortFailureDetail(const SerialFailure& failure, const std::string& portName) {
  const std::string device = failure.device.empty() ? "the device" : failure.device;
  const bool numbered = portName.starts_with("COM");
  const std::string reason =
      failure.sysErrno != 0 ? " (" + SysErrorText(failure.sysErrno) + ")" : std::string();
  switch (failure.code) {
    case SerialError::NoDevice:
      if (!numbered)
        return device + ": no such device" + reason + ". Check the path, or plug the adapter in.";
      return device + ": no such device" + reason + ". Plug the adapter in, or map " + portName +
             " to your device, for example LINKWATCH_" + portName +
             "=/dev/ttyUSB0 or a path under /dev/serial/by-id/.";
    case SerialError::Busy:
      return device + " is busy: another program, or another copy of linkwatch, holds it" + reason +
             ". Close that program and start again.";
    case SerialError::Permission:
      return device + ": permission denied" + reason +
             ". Add your user to the dialout group (sudo usermod -aG dialout $USER), then log out "
             "and in again.";
    case SerialError::NotSerial:
      return device + " is " + (failure.kind.empty() ? "something else" : failure.kind) +
             ", not a serial port. Check the path.";
    case SerialError::Settings:
      return device + ": the driver refused 9600 baud with 8 data bits" + reason + ".";
    case SerialError::None:
    case SerialError::Other:
      break;
  }
  return device + reason + ".";
}

}  // namespace linkwatch
