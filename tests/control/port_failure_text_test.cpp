#include "control/port_failure_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
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
       {"/dev/ttyS0", "Busy", "another program"},
       {}},
      {{SerialError::Permission, EACCES, "/dev/ttyS0"},
       "COM1",
       {"Permission denied", "dialout"},
       {}},
      {{SerialError::Settings, EINVAL, "/dev/ttyS0"}, "COM1", {"9600", "Invalid argument"}, {}},
      {{SerialError::NotSerial, ENOTTY, "/tmp/ttyX", "a regular file"},
       "/tmp/ttyX",
       {"/tmp/ttyX\nIt is a regular file, not a serial port"},
       {"no such device", "refused", "ioctl"}},
      {{SerialError::Other, EIO, ""}, "COM1", {"the device", "Input/output error"}, {}},
      {{.code = SerialError::Busy,
        .sysErrno = EBUSY,
        .subject = "/dev/serial/by-id/usb-FTDI-if00",
        .facts = {.holder = {1234, "minicom", "/var/lock/LCK..ttyUSB0"}}},
       "COM1",
       {"/dev/serial/by-id/usb-FTDI-if00\n", "in use by minicom (process 1234)",
        "\n/var/lock/LCK..ttyUSB0\n", "Close that program"},
       {"another copy", "Device or resource busy"}},
      {{.code = SerialError::Busy,
        .sysErrno = EBUSY,
        .subject = "/dev/ttyUSB0",
        .facts = {.holder = {77, "", "/var/lock/LCK..ttyUSB0"}}},
       "COM1",
       {"in use by process 77,"},
       {"()"}},
      {{.code = SerialError::Busy,
        .sysErrno = EBUSY,
        .subject = "/dev/ttyUSB0",
        .facts = {.holder = {0, "", "/var/lock/LCK..ttyUSB0"}}},
       "COM1",
       {"/dev/ttyUSB0\n", "in use", "/var/lock/LCK..ttyUSB0", "cannot be named"},
       {"process 0"}},
  };
  for (const DetailCase& c : cases) {
    const std::string detail = PortFailureDetail(c.failure, c.portName);
    for (const std::string& part : c.has) EXPECT_NE(detail.find(part), std::string::npos) << detail;
    for (const std::string& part : c.hasNot)
      EXPECT_EQ(detail.find(part), std::string::npos) << detail;
  }
}

std::size_t Count(const std::string& text, const std::string& part) {
  std::size_t n = 0;
  for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

// Without lock files only flock and exclusive mode keep programs away: every
// failure says so, once, after its own reason.
TEST(PortFailureDetail, AnUnusableLockFolderIsToldOnceAfterTheReason) {
  const SerialFailure failures[] = {
      {SerialError::Busy, EWOULDBLOCK, "/dev/ttyS0"},
      {SerialError::NoDevice, EIO, "/dev/ttyUSB0"},
      {SerialError::Settings, EINVAL, "/dev/ttyS0"},
      {SerialError::Other, EIO, ""},
  };
  for (SerialFailure f : failures) {
    const std::string reason = PortFailureDetail(f, "COM1");
    EXPECT_EQ(reason.find("/run/lock"), std::string::npos) << reason;
    f.facts.lockFolder = "/run/lock";
    f.facts.lockFolderErrno = EROFS;
    const std::string detail = PortFailureDetail(f, "COM1");
    EXPECT_EQ(detail.rfind(reason, 0), 0u) << detail;
    EXPECT_EQ(Count(detail, "(Read-only file system)"), 1u) << detail;
    EXPECT_EQ(Count(detail, "\n/run/lock"), 1u) << detail;
    EXPECT_EQ(Count(detail, "lock file"), 1u) << detail;
    EXPECT_NE(detail.find("minicom"), std::string::npos) << detail;
  }
}

std::size_t CountNoCase(std::string text, std::string part) {
  for (std::string* s : {&text, &part}) {
    for (char& ch : *s) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
  }
  std::size_t n = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

// A box breaks lines only at spaces: a path must stand where no space is.
bool EveryPathOnALineWithoutSpaces(const std::string& detail) {
  std::size_t start = 0;
  while (start <= detail.size()) {
    const std::size_t end = std::min(detail.find('\n', start), detail.size());
    const std::string line = detail.substr(start, end - start);
    if (line.find(' ') != std::string::npos &&
        (line.starts_with("/") || line.find(" /") != std::string::npos ||
         line.find("=/") != std::string::npos)) {
      return false;
    }
    start = end + 1;
  }
  return true;
}

TEST(PortFailureDetail, SaysTheReasonOnceAndNeverPutsAPathInProse) {
  const std::string byId = "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0";
  struct OnceCase {
    SerialFailure failure;
    const char* portName;
    const char* reason;
  };
  const OnceCase cases[] = {
      {{SerialError::NoDevice, ENOENT, byId}, "COM1", "no such"},
      {{SerialError::NoDevice, ENODEV, byId}, byId.c_str(), "no such"},
      {{SerialError::NoDevice, 0, byId}, "COM1", "no such"},
      {{SerialError::Busy, EBUSY, "/dev/ttyUSB0"}, "COM1", "busy"},
      {{SerialError::Permission, EACCES, "/dev/ttyS0"}, "COM1", "permission denied"},
      {{SerialError::Permission, 0, "/dev/ttyS0"}, "COM1", "permission denied"},
      {{SerialError::Other, EIO, "/dev/ttyS0"}, "COM1", "input/output error"},
      {{.code = SerialError::Busy,
        .sysErrno = EBUSY,
        .subject = byId,
        .facts = {.holder = {1234, "minicom", "/var/lock/LCK..ttyUSB0"}}},
       "COM1",
       "in use"},
  };
  for (const OnceCase& c : cases) {
    const std::string detail = PortFailureDetail(c.failure, c.portName);
    EXPECT_EQ(CountNoCase(detail, c.reason), 1u) << detail;
    EXPECT_TRUE(detail.starts_with(c.failure.subject + "\n")) << detail;
    EXPECT_TRUE(EveryPathOnALineWithoutSpaces(detail)) << detail;
  }
}

}  // namespace
}  // namespace linkwatch
