#include <dirent.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/stat.h>

#include <algorithm>
#include <iostream>
#include <string>
#include <vector>

#include "link/device_list.h"
#include "link/sd_device_list.h"

namespace linkwatch {
namespace {

using Names = std::vector<std::string>;

struct NamesCase {
  const char* name;
  std::vector<TtyDevice> ttys;
  Names expected;
};

TEST(SerialDeviceNames, ChoosesTheNameAUserKnowsAndLeavesOutWhatIsNoSerialPort) {
  const std::string ftdi = "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A1B2C3-if00-port0";
  const NamesCase cases[] = {
      {"by-id link wins over the node and the by-path link",
       {{"ttyUSB0",
         "/dev/ttyUSB0",
         {"/dev/serial/by-path/pci-0000:00:14.0-usb-0:2:1.0-port0", ftdi},
         ""}},
       {ftdi}},
      {"USB and ACM adapters without links",
       {{"ttyUSB1", "/dev/ttyUSB1", {}, ""}, {"ttyACM0", "/dev/ttyACM0", {}, ""}},
       {"/dev/ttyACM0", "/dev/ttyUSB1"}},
      {"built-in ports only with a UART behind them",
       {{"ttyS0", "/dev/ttyS0", {}, "4"},
        {"ttyS1", "/dev/ttyS1", {}, "0"},
        {"ttyS2", "/dev/ttyS2", {}, ""}},
       {"/dev/ttyS0", "/dev/ttyS2"}},
      {"consoles, virtual terminals and ptys are no serial ports",
       {{"tty", "/dev/tty", {}, ""},
        {"tty1", "/dev/tty1", {}, ""},
        {"console", "/dev/console", {}, ""},
        {"ptmx", "/dev/ptmx", {}, ""},
        {"ttyUSBx", "/dev/ttyUSBx", {}, ""}},
       {}},
      {"any tty with a by-id link counts, whatever its driver",
       {{"ttyXRUSB0", "/dev/ttyXRUSB0", {"/dev/serial/by-id/usb-Exar_XR21V1410-if00"}, ""}},
       {"/dev/serial/by-id/usb-Exar_XR21V1410-if00"}},
      {"a tty without a device node is left out", {{"ttyUSB3", "", {}, ""}}, {}},
      {"numbers in numeric order, no duplicates",
       {{"ttyS10", "/dev/ttyS10", {}, "4"},
        {"ttyS2", "/dev/ttyS2", {}, "4"},
        {"ttyUSB0", "/dev/ttyUSB0", {ftdi}, ""},
        {"ttyUSB9", "/dev/ttyUSB9", {ftdi}, ""}},
       {ftdi, "/dev/ttyS2", "/dev/ttyS10"}},
  };
  for (const NamesCase& c : cases) {
    EXPECT_EQ(SerialDeviceNames(c.ttys), c.expected) << c.name;
  }
}

TEST(SerialDeviceNames, NaturalOrder) {
  Names names = {"/dev/ttyUSB10", "/dev/ttyUSB2",  "/dev/ttyUSB1",
                 "/dev/ttyACM0",  "/dev/ttyUSB02", "/dev/ttyS0"};
  std::sort(names.begin(), names.end(), NaturalLess);
  EXPECT_EQ(names, (Names{"/dev/ttyACM0", "/dev/ttyS0", "/dev/ttyUSB1", "/dev/ttyUSB2",
                          "/dev/ttyUSB02", "/dev/ttyUSB10"}));
  EXPECT_FALSE(NaturalLess("a", "a"));
  EXPECT_TRUE(NaturalLess("a", "a1"));
  EXPECT_FALSE(NaturalLess("a1", "a"));
}

bool IsCharDevice(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISCHR(st.st_mode);
}

Names DevEntries(const std::string& prefix) {
  Names found;
  if (DIR* dir = ::opendir("/dev")) {
    while (const dirent* e = ::readdir(dir)) {
      const std::string name = e->d_name;
      if (name.starts_with(prefix)) found.push_back("/dev/" + name);
    }
    ::closedir(dir);
  }
  return found;
}

// Against whatever this machine has: every entry is a serial device that is
// there, every USB adapter is offered under one name, and nothing else is.
TEST(SdDeviceList, ListsTheSerialDevicesOfThisMachine) {
  SdDeviceList list;
  const Names devices = list.Devices();
  EXPECT_EQ(list.ListError(), "");
  EXPECT_TRUE(std::is_sorted(devices.begin(), devices.end(), NaturalLess));
  Names resolved;
  for (const std::string& path : devices) {
    SCOPED_TRACE(path);
    EXPECT_TRUE(path.starts_with("/dev/serial/by-id/") || path.starts_with("/dev/ttyUSB") ||
                path.starts_with("/dev/ttyACM") || path.starts_with("/dev/ttyS"));
    EXPECT_TRUE(IsCharDevice(path));
    char real[4096];
    if (::realpath(path.c_str(), real) != nullptr) resolved.emplace_back(real);
  }
  for (const char* prefix : {"ttyUSB", "ttyACM"}) {
    for (const std::string& node : DevEntries(prefix)) {
      EXPECT_EQ(std::count(resolved.begin(), resolved.end(), node), 1) << node;
    }
  }
  for (const std::string& node : DevEntries("ttyS")) std::cout << "  present: " << node << '\n';
  for (const std::string& path : devices) std::cout << "  listed: " << path << '\n';
}

TEST(SdDeviceList, WatchingReportsNoChangeWhenNoneCameAndNeverWaits) {
  SdDeviceList list;
  if (list.ChangeFd() < 0) {
    EXPECT_NE(list.WatchError(), "");  // then it says why
    EXPECT_FALSE(list.TakeChanges());
    return;
  }
  EXPECT_EQ(list.WatchError(), "");
  pollfd fd{list.ChangeFd(), POLLIN, 0};
  EXPECT_GE(::poll(&fd, 1, 0), 0);
  // Whatever is pending is consumed without blocking; then nothing is left.
  list.TakeChanges();
  EXPECT_FALSE(list.TakeChanges());
}

}  // namespace
}  // namespace linkwatch
