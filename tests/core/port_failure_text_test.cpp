#include "control/port_failure_text.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <vector>

namespace linkwatch {
namespace {

struct DetailCase {
  SerialFailure failure;
  std::string portName;
  std::vector<std::string> has;
  std::vector<std::string> hasNot;
};

TEST(PortFailureDetail, NamesDeviceReasonAndRemedy) {
  const DetailCase cases[] = {
      {{SerialError::NoDevice, ENOENT, "/dev/ttyS1"},
       "COM2",
       {"/dev/ttyS1", "No such file or directory", "LINKWATCH_COM2="},
       {}},
      {{SerialError::NoDevice, ENOENT, "/dev/ttyUSB0"},
       "/dev/ttyUSB0",
       {"/dev/ttyUSB0", "Check the path"},
       {"LINKWATCH_"}},
      {{SerialError::Busy, EWOULDBLOCK, "/dev/ttyS0"},
       "COM1",
       {"/dev/ttyS0", "busy", "another program"},
       {}},
      {{SerialError::Permission, EACCES, "/dev/ttyS0"},
       "COM1",
       {"Permission denied", "dialout"},
       {}},
      {{SerialError::Settings, EINVAL, "/dev/ttyS0"}, "COM1", {"9600", "Invalid argument"}, {}},
      {{SerialError::NotSerial, ENOTTY, "/tmp/ttyX", "a regular file"},
       "/tmp/ttyX",
       {"/tmp/ttyX is a regular file, not a serial port"},
       {"no such device", "refused", "ioctl"}},
      {{SerialError::Other, EIO, ""}, "COM1", {"the device", "Input/output error"}, {}},
  };
  for (const DetailCase& c : cases) {
    const std::string detail = PortFailureDetail(c.failure, c.portName);
    for (const std::string& part : c.has) EXPECT_NE(detail.find(part), std::string::npos) << detail;
    for (const std::string& part : c.hasNot)
      EXPECT_EQ(detail.find(part), std::string::npos) << detail;
  }
}

}  // namespace
}  // namespace linkwatch
