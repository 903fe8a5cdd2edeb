#include "link/serial_errno.h"

#include <cerrno>

namespace linkwatch {

SerialError SerialErrorFromErrno(int err) {
  switch (err) {
    case 0:
      return SerialError::None;
    case ENOENT:
    case ENODEV:
    case ENXIO:
    case ENOTDIR:
    case EIO:
      return SerialError::NoDevice;
    case EBUSY:
    case EWOULDBLOCK:  // flock: another opener holds the lock
      return SerialError::Busy;
    case EACCES:
    case EPERM:
    case EROFS:
      return SerialError::Permission;
    case ENOTTY:  // the path exists but is no serial device
      return SerialError::NotSerial;
    case EINVAL:  // the driver refused or did not keep the line settings
      return SerialError::Settings;
    default:
      return SerialError::Other;
  }
}

bool IsDeviceGone(int err) {
  return err == EIO || err == ENXIO || err == ENODEV;
}

}  // namespace linkwatch
