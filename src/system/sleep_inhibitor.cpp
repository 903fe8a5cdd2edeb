#include "system/sleep_inhibitor.h"

#include <fcntl.h>
#include <systemd/sd-bus.h>

#include <cerrno>
#include <cstdint>
#include <memory>

#include "base/sys_error.h"

namespace linkwatch {

namespace {

// A slow or wedged logind must not hold up START for long.
constexpr std::uint64_t kCallTimeoutUsec = 2'000'000;

struct BusUnref {
  void operator()(sd_bus* bus) const { sd_bus_flush_close_unref(bus); }
};
struct MessageUnref {
  void operator()(sd_bus_message* m) const { sd_bus_message_unref(m); }
};
using BusPtr = std::unique_ptr<sd_bus, BusUnref>;
using MessagePtr = std::unique_ptr<sd_bus_message, MessageUnref>;

// Frees the error's texts when it goes.
class BusError {
 public:
  BusError() = default;
  BusError(const BusError&) = delete;
  BusError& operator=(const BusError&) = delete;
  ~BusError() { sd_bus_error_free(&m_error); }
  sd_bus_error* Get() { return &m_error; }
  // The bus's message when it sent one, else the errno text of r (< 0).
  std::string Text(int r) const {
    if (m_error.message != nullptr) return m_error.message;
    return SysErrorText(-r);
  }

 private:
  sd_bus_error m_error{};  // SD_BUS_ERROR_NULL, without its C99 compound literal
};

}  // namespace

bool SleepInhibitor::Acquire() {
  if (Held()) return true;

  sd_bus* rawBus = nullptr;
  int r = sd_bus_open_system(&rawBus);
  BusPtr bus(rawBus);
  if (r < 0) {
    m_strError = "no system bus: " + SysErrorText(-r);
    return false;
  }

  sd_bus_message* rawCall = nullptr;
  r = sd_bus_message_new_method_call(bus.get(), &rawCall, "org.freedesktop.login1",
                                     "/org/freedesktop/login1", "org.freedesktop.login1.Manager",
                                     "Inhibit");
  MessagePtr call(rawCall);
  if (r >= 0)
    r = sd_bus_message_append(call.get(), "ssss", "sleep", "linkwatch", "Link test running",
                              "block");
  if (r < 0) {
    m_strError = "cannot build the inhibit call: " + SysErrorText(-r);
    return false;
  }

  BusError error;
  sd_bus_message* rawReply = nullptr;
  r = sd_bus_call(bus.get(), call.get(), kCallTimeoutUsec, error.Get(), &rawReply);
  MessagePtr reply(rawReply);
  if (r < 0) {
    m_strError = "logind refused the sleep lock: " + error.Text(r);
    return false;
  }

  int fd = -1;
  r = sd_bus_message_read(reply.get(), "h", &fd);
  if (r < 0) {
    m_strError = "logind's answer holds no lock: " + SysErrorText(-r);
    return false;
  }
  // The reply owns its descriptor; the lock lives as long as our own copy.
  UniqueFd held(::fcntl(fd, F_DUPFD_CLOEXEC, 3));
  if (!held) {
    m_strError = "cannot keep the sleep lock: " + SysErrorText(errno);
    return false;
  }
  m_fd = std::move(held);
  m_strError.clear();
  return true;
}

}  // namespace linkwatch
