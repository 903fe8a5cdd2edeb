#pragma once

#include <termios.h>

#include <cstdint>
#include <string>

#include "base/unique_fd.h"
#include "link/serial_link.h"

namespace linkwatch {

// One serial port of the PC on a POSIX tty, opened for exclusive use with a
// raw 8-bit line. Reads never wait for bytes still to come.
//
// When the device goes away under an open port (adapter unplugged, pty
// master closed) the port drops its descriptor but stays open from the
// caller's view: it reports 0 bytes, so the link watch sees a quiet line, and
// each later BytesWaiting tries once to open the same path again.
class CSerialPort : public ISerialPort {
 public:
  CSerialPort() = default;
  CSerialPort(const CSerialPort&) = delete;
  CSerialPort& operator=(const CSerialPort&) = delete;
  ~CSerialPort() override;

  bool Open(int port, int baud) override;
  bool OpenDevice(const std::string& path, int baud) override;
  bool Close() override;
  int BytesWaiting() override;
  int Read(std::uint8_t* buffer, int max) override;
  SerialFailure LastFailure() const override { return m_failure; }

  // The device behind COM<port>: $LINKWATCH_COM<port> when set and not
  // empty, else /dev/ttyS<port-1>.
  static std::string DevicePath(int port);

 private:
  void DropDevice();
  bool Reopen();
  int QueuedBytes();
  bool HungUp() const;

  UniqueFd m_fd;            // the tty; empty while the device is gone
  bool m_bOpened = false;   // from a successful Open to the next Close
  std::string m_strDevice;  // the path opened, kept for reopening
  speed_t m_speed = B0;     // the line rate opened with, kept for reopening
  SerialFailure m_failure;
};

}  // namespace linkwatch
