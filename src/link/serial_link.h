#pragma once

#include <cstdint>
#include <string>
#include <utility>

#include "base/failure.h"

namespace linkwatch {

// Why the last Open failed, in one small closed set; None first, so that a
// Failure holding it is no failure.
enum class SerialError {
  None,
  NoDevice,    // no such device, or it has gone
  Busy,        // another program (or another copy of this one) holds it
  Permission,  // no access to the device
  Settings,    // the driver refused the line settings
  NotSerial,   // the path is something else: a file, a FIFO, another device
  Other,
};

// The process whose lock file holds a device.
struct PortHolder {
  int pid = 0;             // 0 when the lock file names no live process we could tell
  std::string program{};   // its command name; empty when it cannot be read
  std::string lockFile{};  // empty when no lock file holds the device
};

// What a failed open tells beside its code: what the path is when it is no
// serial port, who holds the port, and whether lock files could be used.
struct SerialFacts {
  std::string kind{};   // with NotSerial: what the path is instead ("a FIFO")
  PortHolder holder{};  // Busy by another program's lock file: who
  // Set when no lock file could be made there, so only flock and exclusive
  // mode kept other programs away.
  std::string lockFolder{};
  int lockFolderErrno = 0;
};

// The subject is the device path that was tried.
using SerialFailure = Failure<SerialError, SerialFacts>;

// What the test run and the link poll need of a serial port: open, close,
// count the bytes waiting, and read them without waiting. There is no write.
class ISerialPort {
 public:
  virtual ~ISerialPort() = default;

  // True when the port is open and set up. True at once, with nothing
  // changed, when it is open already.
  virtual bool Open(int port, int baud) = 0;
  // The same for a device given by its path (/dev/ttyUSB0, a by-id link).
  virtual bool OpenDevice(const std::string& path, int baud) = 0;
  // Releases the port; does nothing when it is closed. Always true.
  virtual bool Close() = 0;
  // Bytes waiting in the input queue; 0 when closed or when the query fails.
  virtual int BytesWaiting() = 0;
  // Transfers up to max waiting bytes into buffer without waiting for more;
  // returns how many it transferred (0 when closed or on failure).
  virtual int Read(std::uint8_t* buffer, int max) = 0;
  // Why the last Open returned false.
  virtual SerialFailure LastFailure() const { return {}; }
};

}  // namespace linkwatch
