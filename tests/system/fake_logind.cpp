#include "fake_logind.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <future>

extern char** environ;

namespace linkwatch::testing {

PrivateBus::PrivateBus(const std::string& dir) {
  const std::string address = "unix:path=" + dir + "/bus";
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC) != 0) return;
  UniqueFd readEnd(fds[0]), writeEnd(fds[1]);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, writeEnd.Get(), STDOUT_FILENO);
  std::vector<std::string> args{"dbus-daemon",          "--session",      "--nofork", "--nopidfile",
                                "--address=" + address, "--print-address"};
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  const int rc = ::posix_spawnp(&m_pid, "dbus-daemon", &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) {
    m_pid = -1;
    return;
  }
  writeEnd.Reset();
  // The daemon prints its address once it listens.
  std::string line;
  pollfd pfd{readEnd.Get(), POLLIN, 0};
  while (line.find('\n') == std::string::npos && ::poll(&pfd, 1, 5000) > 0) {
    char buf[256];
    const ssize_t n = ::read(readEnd.Get(), buf, sizeof buf);
    if (n <= 0) break;
    line.append(buf, static_cast<std::size_t>(n));
  }
  if (line.find('\n') != std::string::npos) m_address = address;
}

PrivateBus::~PrivateBus() {
  if (m_pid > 0) {
    ::kill(m_pid, SIGTERM);
    ::waitpid(m_pid, nullptr, 0);
  }
}

FakeLogind::FakeLogind(const std::string& address) {
  std::promise<void> ready;
  auto started = ready.get_future();
  m_thread = std::thread([this, address, &ready] {
    sd_bus* bus = nullptr;
    bool ok = sd_bus_new(&bus) >= 0 && sd_bus_set_address(bus, address.c_str()) >= 0 &&
              sd_bus_set_bus_client(bus, 1) >= 0 && sd_bus_start(bus) >= 0;
    // The method table's handler is set per object, with this as its data.
    static const sd_bus_vtable vtable[] = {
        SD_BUS_VTABLE_START(0),
        SD_BUS_METHOD("Inhibit", "ssss", "h", &FakeLogind::OnInhibit, SD_BUS_VTABLE_UNPRIVILEGED),
        SD_BUS_VTABLE_END,
    };
    ok = ok &&
         sd_bus_add_object_vtable(bus, nullptr, "/org/freedesktop/login1",
                                  "org.freedesktop.login1.Manager", vtable, this) >= 0 &&
         sd_bus_request_name(bus, "org.freedesktop.login1", 0) >= 0;
    m_bServing = ok;
    ready.set_value();
    if (ok) Serve(bus);
    sd_bus_flush_close_unref(bus);
  });
  started.wait();
}

FakeLogind::~FakeLogind() {
  m_bStop = true;
  m_thread.join();
}

void FakeLogind::Serve(sd_bus* bus) {
  while (!m_bStop) {
    const int r = sd_bus_process(bus, nullptr);
    if (r < 0) break;
    if (r == 0) sd_bus_wait(bus, 50'000);
  }
}

int FakeLogind::OnInhibit(sd_bus_message* m, void* self, sd_bus_error* /*error*/) {
  auto* fake = static_cast<FakeLogind*>(self);
  const char* what = nullptr;
  const char* who = nullptr;
  const char* why = nullptr;
  const char* mode = nullptr;
  int r = sd_bus_message_read(m, "ssss", &what, &who, &why, &mode);
  if (r < 0) return r;
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC) != 0) return -errno;
  UniqueFd readEnd(fds[0]), writeEnd(fds[1]);
  {
    // Recorded before the answer goes, so the caller finds it once answered.
    std::lock_guard lock(fake->m_mutex);
    fake->m_calls.push_back({what, who, why, mode});
    fake->m_readEnds.push_back(std::move(readEnd));
  }
  return sd_bus_reply_method_return(m, "h", writeEnd.Get());  // the message sends a copy
}

std::vector<std::array<std::string, 4>> FakeLogind::Calls() {
  std::lock_guard lock(m_mutex);
  return m_calls;
}

int FakeLogind::HeldLocks(int expected, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    int held = 0;
    {
      std::lock_guard lock(m_mutex);
      for (const UniqueFd& fd : m_readEnds) {
        pollfd pfd{fd.Get(), POLLIN, 0};
        // A pipe's read end hangs up once every copy of its write end is closed.
        if (::poll(&pfd, 1, 0) == 0 || (pfd.revents & POLLHUP) == 0) ++held;
      }
    }
    if (held == expected || std::chrono::steady_clock::now() >= deadline) return held;
    ::poll(nullptr, 0, 20);
  }
}

}  // namespace linkwatch::testing
