#pragma once

#include <memory>
#include <string>
#include <vector>

#include "link/device_list.h"

struct sd_event;
struct sd_device_monitor;

namespace linkwatch {

// The serial devices as systemd's device manager sees them: listed by the
// sd-device enumerator from sysfs and the udev database, and watched through
// a device monitor whose events are handed out through an sd-event loop's
// descriptor, for the caller's own loop to wait on.
//
// Without a running udev (a container, a chroot) the list still comes from
// sysfs, by kernel names only, and no changes are reported.
class SdDeviceList : public IDeviceList {
 public:
  SdDeviceList();
  SdDeviceList(const SdDeviceList&) = delete;
  SdDeviceList& operator=(const SdDeviceList&) = delete;
  ~SdDeviceList() override;

  std::vector<std::string> Devices() override;
  int ChangeFd() const override;
  bool TakeChanges() override;

  // Why devices cannot be listed or watched, with the system's reason; empty
  // when nothing failed.
  const std::string& ListError() const { return m_strListError; }
  const std::string& WatchError() const { return m_strWatchError; }

 private:
  struct EventDeleter {
    void operator()(sd_event* event) const;
  };
  struct MonitorDeleter {
    void operator()(sd_device_monitor* monitor) const;
  };

  void Watch();

  std::unique_ptr<sd_event, EventDeleter> m_event;
  std::unique_ptr<sd_device_monitor, MonitorDeleter> m_monitor;
  bool m_bChanged = false;
  std::string m_strListError;
  std::string m_strWatchError;
};

}  // namespace linkwatch
