#pragma once

#include <cstdint>
#include <string>

namespace linkwatch {

// Why the last Open failed, in one small closed set, with the system's own
// error beside it.
enum class SerialError {
  None,
  NoDevice,    // no such device, or it has gone
  Busy,        // another program (or another copy of this one) holds it
  Permission,  // no access to the device
  Settings,    // the driver refused the line settings
  Other,
};

struct SerialFailure {
  SerialError code = SerialError::None;
  int sysErrno = 0;    // errno of the failing call, 0 if none
  std::string device;  // the device path that was tried
};

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
