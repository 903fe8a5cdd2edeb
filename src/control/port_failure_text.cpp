#include "control/port_failure_text.h"

#include "base/sys_error.h"

namespace linkwatch {
namespace {

std::string HolderText(const PortHolder& holder) {
  const std::string process = "process " + std::to_string(holder.pid);
  return holder.program.empty() ? process : holder.program + " (" + process + ")";
}

// The device first, on a line of its own, then the reason said once: the
// system's own words where there are some, else ours. Every path stands on a
// line without spaces, which a box never breaks.
std::string Reason(const SerialFailure& failure, const std::string& portName) {
  const std::string device = failure.subject.empty() ? "the device" : failure.subject;
  const bool numbered = portName.starts_with("COM");
  const auto reason = [&](const char* ours) {
    return failure.sysErrno != 0 ? SysErrorText(failure.sysErrno) : std::string(ours);
  };
  const std::string head = device + "\n";
  switch (failure.code) {
    case SerialError::NoDevice:
      if (!numbered)
        return head + reason("No such device") + ". Check the path, or plug the adapter in.";
      return head + reason("No such device") + ". Plug the adapter in, or map " + portName +
             " to your device before starting linkwatch, for example:\nLINKWATCH_" + portName +
             "=/dev/ttyUSB0\nLINKWATCH_" + portName + "=/dev/serial/by-id/<adapter>";
    case SerialError::Busy:
      if (failure.facts.holder.pid != 0)
        return head + "The port is in use by " + HolderText(failure.facts.holder) +
               ", as its lock file says:\n" + failure.facts.holder.lockFile +
               "\nClose that program and start again.";
      if (!failure.facts.holder.lockFile.empty())
        return head +
               "The port is in use by a process that cannot be named; its lock file is held:\n" +
               failure.facts.holder.lockFile +
               "\nClose the program using the port and start again.";
      // EBUSY and EWOULDBLOCK both mean this; the system's words add nothing.
      return head +
             "Busy: another program, or another copy of linkwatch, holds it. Close that program "
             "and start again.";
    case SerialError::Permission:
      return head + reason("Permission denied") +
             ". Add your user to the dialout group, then log out and in again:\nsudo usermod -aG "
             "dialout $USER";
    case SerialError::NotSerial:
      return head + "It is " +
             (failure.facts.kind.empty() ? "something else" : failure.facts.kind) +
             ", not a serial port. Check the path.";
    case SerialError::Settings:
      return head + "The driver refused 9600 baud with 8 data bits" +
             (failure.sysErrno != 0 ? " (" + SysErrorText(failure.sysErrno) + ")" : std::string()) +
             ".";
    case SerialError::None:
    case SerialError::Other:
      break;
  }
  return head + reason("The device cannot be opened") + ".";
}

}  // namespace

std::string PortFailureDetail(const SerialFailure& failure, const std::string& portName) {
  std::string detail = Reason(failure, portName);
  if (failure.facts.lockFolderErrno != 0) {
    detail += "\nNo lock file could be made (" + SysErrorText(failure.facts.lockFolderErrno) +
              "), so programs that look only for one, such as minicom, are not kept off the "
              "port. The lock folder is:\n" +
              failure.facts.lockFolder;
  }
  return detail;
}

}  // namespace linkwatch
