#include "link/sd_device_list.h"

#include <systemd/sd-device.h>
#include <systemd/sd-event.h>

#include <string>
#include <string_view>

#include "base/sys_error.h"

namespace linkwatch {

namespace {

constexpr const char* kTtySubsystem = "tty";

// sd-* calls return a negative errno.
std::string FailureText(std::string_view what, int r) {
  return std::string(what) + ": " + SysErrorText(-r);
}

struct EnumeratorRef {
  sd_device_enumerator* p = nullptr;
  EnumeratorRef() = default;
  EnumeratorRef(const EnumeratorRef&) = delete;
  EnumeratorRef& operator=(const EnumeratorRef&) = delete;
  ~EnumeratorRef() { sd_device_enumerator_unref(p); }
};

TtyDevice Describe(sd_device* device) {
  TtyDevice tty;
  const char* text = nullptr;
  if (sd_device_get_sysname(device, &text) >= 0 && text != nullptr) tty.sysname = text;
  if (sd_device_get_devname(device, &text) >= 0 && text != nullptr) tty.devnode = text;
  for (const char* link = sd_device_get_devlink_first(device); link != nullptr;
       link = sd_device_get_devlink_next(device)) {
    tty.links.emplace_back(link);
  }
  if (tty.sysname.starts_with("ttyS") && sd_device_get_sysattr_value(device, "type", &text) >= 0 &&
      text != nullptr) {
    tty.uartType = text;
  }
  return tty;
}

}  // namespace

void SdDeviceList::EventDeleter::operator()(sd_event* event) const {
  sd_event_unref(event);
}

void SdDeviceList::MonitorDeleter::operator()(sd_device_monitor* monitor) const {
  sd_device_monitor_unref(monitor);
}

SdDeviceList::SdDeviceList() {
  Watch();
}

SdDeviceList::~SdDeviceList() {
  // The monitor goes before the loop it is attached to.
  m_monitor.reset();
  m_event.reset();
}

void SdDeviceList::Watch() {
  sd_event* event = nullptr;
  int r = sd_event_new(&event);
  if (r < 0) {
    m_strWatchError = FailureText("cannot create an event loop for the device monitor", r);
    return;
  }
  m_event.reset(event);
  sd_device_monitor* monitor = nullptr;
  r = sd_device_monitor_new(&monitor);
  if (r < 0) {
    m_strWatchError = FailureText("cannot watch for serial devices", r);
    m_event.reset();
    return;
  }
  m_monitor.reset(monitor);
  const auto handler = [](sd_device_monitor*, sd_device*, void* self) {
    static_cast<SdDeviceList*>(self)->m_bChanged = true;
    return 0;
  };
  if ((r = sd_device_monitor_filter_add_match_subsystem_devtype(monitor, kTtySubsystem, nullptr)) <
          0 ||
      (r = sd_device_monitor_attach_event(monitor, event)) < 0 ||
      (r = sd_device_monitor_start(monitor, handler, this)) < 0) {
    m_strWatchError = FailureText("cannot watch for serial devices", r);
    m_monitor.reset();
    m_event.reset();
  }
}

std::vector<std::string> SdDeviceList::Devices() {
  EnumeratorRef enumerator;
  int r = sd_device_enumerator_new(&enumerator.p);
  if (r >= 0) r = sd_device_enumerator_add_match_subsystem(enumerator.p, kTtySubsystem, 1);
  // Devices udev has not finished with are listed too: without a running
  // udev none would be, and a device just plugged in is listed again, with
  // its links, once udev reports it done.
  if (r >= 0) r = sd_device_enumerator_allow_uninitialized(enumerator.p);
  if (r < 0) {
    m_strListError = FailureText("cannot list serial devices", r);
    return {};
  }
  m_strListError.clear();
  std::vector<TtyDevice> ttys;
  for (sd_device* device = sd_device_enumerator_get_device_first(enumerator.p); device != nullptr;
       device = sd_device_enumerator_get_device_next(enumerator.p)) {
    ttys.push_back(Describe(device));
  }
  return SerialDeviceNames(ttys);
}

int SdDeviceList::ChangeFd() const {
  return m_event ? sd_event_get_fd(m_event.get()) : -1;
}

bool SdDeviceList::TakeChanges() {
  if (!m_event) return false;
  m_bChanged = false;
  // Dispatches whatever is pending, never waiting; a burst of events (a hub
  // with four adapters) is bounded so a flood cannot hold up the window.
  for (int i = 0; i < 256; ++i) {
    if (sd_event_run(m_event.get(), 0) <= 0) break;
  }
  return m_bChanged;
}

}  // namespace linkwatch
