#pragma once

#include <termios.h>

#include <cstdint>
#include <string>
#include <vector>

#include "base/unique_fd.h"
#include "link/serial_link.h"
#include "link/uucp_lock.h"

namespace linkwatch {

// One serial port of the PC on a POSIX tty, opened for exclusive use with a
// raw 8-bit line. Reads never wait for bytes still to come.
//
// Exclusive use is taken three ways, since Linux serial programs each honour
// one of them: the device's lock file in lockFolder (minicom, cu), flock
// (picocom, tio) and the tty's exclusive mode. Without a usable lock folder
// the port still opens, with the other two.
//
// When the device goes away under an open port (adapter unplugged, pty
// master closed) the port drops its descriptor but stays open from the
// caller's view: it reports 0 bytes, so the link watch sees a quiet line, and
// each later BytesWaiting tries once to open the same path again.
class CSerialPort : public ISerialPort {
 public:
  explicit CSerialPort(std::string lockFolder = kUucpLockFolder);
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
  // Locks and opens the device behind path; on failure holds nothing and
  // tells why in failure.
  bool Acquire(const std::string& path, speed_t speed, SerialFailure& failure);
  void DropDevice();
  bool Reopen();
  int QueuedBytes();
  bool HungUp() const;

  std::string m_strLockFolder;
  UniqueFd m_fd;                  // the tty; empty while the device is gone
  std::vector<UucpLock> m_locks;  // the device's lock files, held with m_fd
  bool m_bOpened = false;         // from a successful Open to the next Close
  std::string m_strDevice;        // the path opened, kept for reopening
  speed_t m_speed = B0;           // the line rate opened with, kept for reopening
  SerialFailure m_failure;
};

}  // namespace linkwatch
