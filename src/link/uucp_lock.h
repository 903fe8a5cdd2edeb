#pragma once

#include <string>

#include "link/serial_link.h"

namespace linkwatch {

// Where serial programs on Linux (minicom, cu and others) leave the lock
// files that tell each other a device is taken.
inline constexpr const char* kUucpLockFolder = "/var/lock";

// The lock file's name for a device path, as minicom and cu form it: "LCK.."
// and the path below /dev with every "/" turned into "_" (/dev/pts/3 ->
// LCK..pts_3); for a path outside /dev, its last part. Symlinks are not
// followed: resolve the path first for the name that every link meets.
std::string UucpLockName(const std::string& device);

struct UucpLockAttempt;

// One lock file of this process: "%10d\n" with our process id. Removed when
// the object is released or destroyed, and only while it still names us.
class UucpLock {
 public:
  UucpLock() = default;
  UucpLock(const UucpLock&) = delete;
  UucpLock& operator=(const UucpLock&) = delete;
  UucpLock(UucpLock&& other) noexcept;
  UucpLock& operator=(UucpLock&& other) noexcept;
  ~UucpLock();

  void Release();

  // Takes the lock file of device in folder. A lock whose process has ended
  // is removed first; one of a live process is left alone and named.
  static UucpLockAttempt Take(const std::string& folder, const std::string& device);
  // The live process whose lock file in folder holds device, if any, without
  // taking or removing anything.
  static PortHolder LiveHolder(const std::string& folder, const std::string& device);

 private:
  explicit UucpLock(std::string path) : m_strPath(std::move(path)) {}

  std::string m_strPath;  // empty when nothing is held
};

struct UucpLockAttempt {
  UucpLock lock;        // held when the device was free
  PortHolder holder;    // lockFile set when another process holds the device
  int folderErrno = 0;  // the lock could not be made in the folder at all
};

}  // namespace linkwatch
