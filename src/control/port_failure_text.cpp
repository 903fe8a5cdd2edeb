#include "control/port_failure_text.h"

#include "base/sys_error.h"

namespace linkwatch {
namespace {

std::string HolderText(const PortHolder& holder) {
  const std::string process = "process " + std::to_string(holder.pid);
  return holder.program.empty() ? process : holder.program + " (" + process + ")";
}

std::string Reason(const SerialFailure& failure, const std::string& portName) {
  const std::string device = failure.subject.empty() ? "the device" : failure.subject;
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
      if (failure.facts.holder.pid != 0)
        return device + " is in use by " + HolderText(failure.facts.holder) +
               ", as its lock file " + failure.facts.holder.lockFile +
               " says. Close that program and start again.";
      if (!failure.facts.holder.lockFile.empty())
        return device + " is in use: its lock file " + failure.facts.holder.lockFile +
               " is held, by a process that cannot be named. Close the program using " + device +
               " and start again.";
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

}  // namespace

std::string PortFailureDetail(const SerialFailure& failure, const std::string& portName) {
  std::string detail = Reason(failure, portName);
  if (failure.facts.lockFolderErrno != 0) {
    detail += " No lock file could be made in " + failure.facts.lockFolder + " (" +
              SysErrorText(failure.facts.lockFolderErrno) +
              "), so programs that look only there, such as minicom, are not kept off the port.";
  }
  return detail;
}

}  // namespace linkwatch
