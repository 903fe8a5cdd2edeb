#include "link/serial_port.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <termios.h>

#include <cerrno>
#include <filesystem>
#include <numeric>
#include <ostream>
#include <string>
#include <vector>

#include "pty_pair.h"
#include "temp_dir.h"

namespace linkwatch::testing {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Counting(int n, int first = 1) {
  Bytes bytes(static_cast<std::size_t>(n));
  std::iota(bytes.begin(), bytes.end(), static_cast<std::uint8_t>(first));
  return bytes;
}

termios SettingsOf(int fd) {
  termios tio{};
  EXPECT_EQ(::tcgetattr(fd, &tio), 0);
  return tio;
}

// COM1 is the test's pty; lock files go to a folder of the test's own.
class SerialPortTest : public ::testing::Test {
 protected:
  void SetUp() override { ::setenv("LINKWATCH_COM1", pty.Name().c_str(), 1); }
  void TearDown() override { ::unsetenv("LINKWATCH_COM1"); }

  PtyPair pty;
  TempDir locks;
  CSerialPort port{locks.Path().string()};
};

TEST(SerialDevicePath, ComNumbersNameTtySUnlessTheEnvironmentNamesAnother) {
  ::unsetenv("LINKWATCH_COM1");
  ::unsetenv("LINKWATCH_COM4");
  EXPECT_EQ(CSerialPort::DevicePath(1), "/dev/ttyS0");
  EXPECT_EQ(CSerialPort::DevicePath(4), "/dev/ttyS3");
  ::setenv("LINKWATCH_COM4", "/dev/serial/by-id/usb-adapter", 1);
  EXPECT_EQ(CSerialPort::DevicePath(4), "/dev/serial/by-id/usb-adapter");
  EXPECT_EQ(CSerialPort::DevicePath(1), "/dev/ttyS0");
  ::setenv("LINKWATCH_COM4", "", 1);  // set but empty counts as not set
  EXPECT_EQ(CSerialPort::DevicePath(4), "/dev/ttyS3");
  ::unsetenv("LINKWATCH_COM4");
}

struct ReadCase {
  const char* name;
  int queued;
  int max;
  int returned;
  int left;
};

// Shows the case by its name in test listings.
void PrintTo(const ReadCase& c, std::ostream* os) {
  *os << c.name;
}

class SerialReadTest : public SerialPortTest, public ::testing::WithParamInterface<ReadCase> {};

// Read takes min(max, waiting) of the oldest bytes and leaves the rest queued.
TEST_P(SerialReadTest, TakesTheOldestBytesUpToMax) {
  const ReadCase& c = GetParam();
  ASSERT_TRUE(port.Open(1, 9600));
  const Bytes sent = Counting(c.queued);
  pty.Send(sent);
  ASSERT_EQ(port.BytesWaiting(), c.queued);

  Bytes buf(64, 0xEE);
  EXPECT_EQ(port.Read(buf.data(), c.max), c.returned);
  EXPECT_TRUE(std::equal(sent.begin(), sent.begin() + c.returned, buf.begin()));
  EXPECT_EQ(buf[static_cast<std::size_t>(c.returned)], 0xEE) << "wrote past what it returned";
  EXPECT_EQ(port.BytesWaiting(), c.left);

  // What is left comes next, in order.
  EXPECT_EQ(port.Read(buf.data(), 64), c.left);
  EXPECT_TRUE(std::equal(sent.begin() + c.returned, sent.end(), buf.begin()));
}

INSTANTIATE_TEST_SUITE_P(Cases, SerialReadTest,
                         ::testing::Values(ReadCase{"FirstEightOfTwenty", 20, 8, 8, 12},
                                           ReadCase{"FiveOfFiveWithRoomFor64", 5, 64, 5, 0},
                                           ReadCase{"ZeroMaxReadsNothing", 5, 0, 0, 5},
                                           ReadCase{"NegativeMaxReadsNothing", 5, -1, 0, 5},
                                           ReadCase{"NothingWaiting", 0, 64, 0, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(SerialPortTest, EveryByteValueArrivesUnchanged) {
  ASSERT_TRUE(port.Open(1, 9600));
  // Each value once, then the ones a cooked line would eat or change again
  // in a row: XON, XOFF, CR, LF, ^C, DEL, ^D, ^Z, ^\, 0xFF.
  Bytes sent = Counting(256, 0);
  for (std::uint8_t b : {0x11, 0x13, 0x0D, 0x0A, 0x0D, 0x03, 0x7F, 0x04, 0x1A, 0x1C, 0xFF}) {
    sent.push_back(b);
  }
  pty.Send(sent);
  ASSERT_EQ(port.BytesWaiting(), static_cast<int>(sent.size()));
  Bytes got(sent.size());
  ASSERT_EQ(port.Read(got.data(), static_cast<int>(got.size())), static_cast<int>(sent.size()));
  EXPECT_EQ(got, sent);
}

TEST_F(SerialPortTest, OpenSetsARawEightBitLineAndKeepsParityAndStopBits) {
  // A pty forces PARENB off and CS8 on by itself, so odd parity and two stop
  // bits stand for the driver's settings here.
  termios before = SettingsOf(pty.Slave());
  before.c_cflag |= PARODD | CSTOPB;
  before.c_cc[VMIN] = 1;
  before.c_cc[VTIME] = 5;
  ::cfsetspeed(&before, B1200);
  ASSERT_EQ(::tcsetattr(pty.Slave(), TCSANOW, &before), 0);

  ASSERT_TRUE(port.Open(1, 9600));
  const termios t = SettingsOf(pty.Slave());
  EXPECT_EQ(::cfgetispeed(&t), B9600);
  EXPECT_EQ(::cfgetospeed(&t), B9600);
  EXPECT_EQ(t.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
  EXPECT_EQ(t.c_cflag & (CREAD | CLOCAL), static_cast<tcflag_t>(CREAD | CLOCAL));
  EXPECT_EQ(t.c_cflag & (PARODD | CSTOPB), static_cast<tcflag_t>(PARODD | CSTOPB))
      << "parity and stop bits belong to the driver";
  EXPECT_EQ(t.c_lflag & (ICANON | ECHO | ECHONL | ISIG | IEXTEN), 0u);
  EXPECT_EQ(t.c_iflag & (IXON | IXOFF | ICRNL | INLCR | IGNCR | ISTRIP | PARMRK | BRKINT), 0u);
  EXPECT_EQ(t.c_cc[VMIN], 0);
  EXPECT_EQ(t.c_cc[VTIME], 0);
}

struct OpenFailureCase {
  const char* name;
  const char* device;  // "" for the test's pty
  int baud;
  SerialError code;
  const char* kind = "";  // what the failure says the path is
};

// Shows the case by its name in test listings.
void PrintTo(const OpenFailureCase& c, std::ostream* os) {
  *os << c.name;
}

class SerialOpenFailureTest : public SerialPortTest,
                              public ::testing::WithParamInterface<OpenFailureCase> {
 protected:
  TempDir dir;
};

// A failed open tells why and where, leaves nothing open, and the same object
// opens a good port afterwards.
TEST_P(SerialOpenFailureTest, ReportsWhyLeavesNothingOpenAndCanOpenLater) {
  const OpenFailureCase& c = GetParam();
  std::string device = pty.Name();
  if (std::string(c.device) == "missing") device = dir.File("ttyUSB9");
  if (std::string(c.device) == "file") {
    device = dir.File("not-a-tty");
    WriteFile(device, "x");
  }
  if (std::string(c.device) == "fifo") {
    device = dir.File("fifo");
    ASSERT_EQ(::mkfifo(device.c_str(), 0600), 0);
  }
  if (c.device[0] == '/') device = c.device;
  ::setenv("LINKWATCH_COM1", device.c_str(), 1);
  const int fds = OpenFds();

  EXPECT_FALSE(port.Open(1, c.baud));
  const SerialFailure f = port.LastFailure();
  EXPECT_EQ(f.code, c.code);
  EXPECT_NE(f.sysErrno, 0);
  EXPECT_EQ(f.subject, device);
  EXPECT_EQ(f.facts.kind, c.kind);
  EXPECT_EQ(OpenFds(), fds);
  EXPECT_TRUE(std::filesystem::is_empty(locks.Path())) << "a failed open keeps no lock file";
  EXPECT_EQ(port.BytesWaiting(), 0);
  std::uint8_t buf[8];
  EXPECT_EQ(port.Read(buf, 8), 0);
  EXPECT_TRUE(port.Close());

  ::setenv("LINKWATCH_COM1", pty.Name().c_str(), 1);
  ASSERT_TRUE(port.Open(1, 9600));
  EXPECT_EQ(port.LastFailure().code, SerialError::None);
  pty.Send({0x80, 0x01});
  EXPECT_EQ(port.BytesWaiting(), 2);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SerialOpenFailureTest,
    ::testing::Values(OpenFailureCase{"MissingDevice", "missing", 9600, SerialError::NoDevice},
                      OpenFailureCase{"RegularFile", "file", 9600, SerialError::NotSerial,
                                      "a regular file"},
                      OpenFailureCase{"Fifo", "fifo", 9600, SerialError::NotSerial, "a FIFO"},
                      OpenFailureCase{"RandomDevice", "/dev/urandom", 9600, SerialError::NotSerial,
                                      "a character device that is not a terminal"},
                      OpenFailureCase{"NullDevice", "/dev/null", 9600, SerialError::NotSerial,
                                      "a character device that is not a terminal"},
                      OpenFailureCase{"NoSuchBaudRate", "", 12345, SerialError::Settings},
                      OpenFailureCase{"ZeroBaudWouldHangUp", "", 0, SerialError::Settings}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SerialPortTest, OpenWhileOpenKeepsTheFirstPortAndBaud) {
  ASSERT_TRUE(port.Open(1, 9600));
  ::setenv("LINKWATCH_COM1", "/nonexistent/tty", 1);
  EXPECT_TRUE(port.Open(1, 19200));
  EXPECT_TRUE(port.Open(2, 4800));
  const termios t = SettingsOf(pty.Slave());
  EXPECT_EQ(::cfgetispeed(&t), B9600);
  pty.Send({1, 2, 3});
  EXPECT_EQ(port.BytesWaiting(), 3);
}

TEST_F(SerialPortTest, CloseTwiceIsHarmlessAndAClosedPortReadsNothing) {
  EXPECT_TRUE(port.Close());  // never opened
  ASSERT_TRUE(port.Open(1, 9600));
  const int fdsOpen = OpenFds();
  EXPECT_TRUE(port.Close());
  EXPECT_EQ(OpenFds(), fdsOpen - 1);
  EXPECT_TRUE(port.Close());
  EXPECT_EQ(OpenFds(), fdsOpen - 1);

  pty.Send({1, 2, 3});
  EXPECT_EQ(port.BytesWaiting(), 0);
  std::uint8_t buf[8];
  EXPECT_EQ(port.Read(buf, 8), 0);
  EXPECT_EQ(pty.Queued(), 3) << "a closed port must not take bytes";

  ASSERT_TRUE(port.Open(1, 9600));
  EXPECT_EQ(port.BytesWaiting(), 3);
}

TEST_F(SerialPortTest, ASecondOpenerIsRefusedAsBusyUntilTheFirstCloses) {
  ASSERT_TRUE(port.Open(1, 9600));
  // The exclusive hold that binds any user, root too: the tty's exclusive
  // mode does not bind root, a flock does.
  EXPECT_NE(::flock(pty.Slave(), LOCK_EX | LOCK_NB), 0) << "the open port is not held";
  CSerialPort other;
  const int fds = OpenFds();
  EXPECT_FALSE(other.Open(1, 9600));
  EXPECT_EQ(other.LastFailure().code, SerialError::Busy);
  EXPECT_EQ(other.LastFailure().subject, pty.Name());
  EXPECT_EQ(OpenFds(), fds);

  port.Close();
  EXPECT_EQ(::flock(pty.Slave(), LOCK_EX | LOCK_NB), 0) << "the closed port is still held";
  ::flock(pty.Slave(), LOCK_UN);
  EXPECT_TRUE(other.Open(1, 9600));
}

TEST_F(SerialPortTest, DestructionReleasesThePort) {
  {
    CSerialPort first;
    ASSERT_TRUE(first.Open(1, 9600));
  }
  EXPECT_TRUE(port.Open(1, 9600));
}

}  // namespace
}  // namespace linkwatch::testing
