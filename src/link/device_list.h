#pragma once

#include <string>
#include <vector>

namespace linkwatch {

// The serial devices present on the machine, and a way to learn that one came
// or went. The owner's event loop watches ChangeFd and calls TakeChanges when
// it is readable, so that changes are handled on the loop's own thread.
class IDeviceList {
 public:
  virtual ~IDeviceList() = default;

  // The paths to open, in the order to offer them.
  virtual std::vector<std::string> Devices() = 0;
  // Readable when a device may have come or gone; -1 when changes cannot be
  // watched.
  virtual int ChangeFd() const = 0;
  // Consumes what made ChangeFd readable, without waiting; true when a
  // serial device may have come or gone.
  virtual bool TakeChanges() = 0;
};

// A machine without any serial device to offer beyond COM1 to COM4.
class NoDeviceList : public IDeviceList {
 public:
  std::vector<std::string> Devices() override { return {}; }
  int ChangeFd() const override { return -1; }
  bool TakeChanges() override { return false; }
};

// One tty as the device manager reports it.
struct TtyDevice {
  std::string sysname;             // "ttyUSB0"
  std::string devnode;             // "/dev/ttyUSB0"; empty when there is none
  std::vector<std::string> links;  // the device manager's links to it
  std::string uartType;            // the "type" attribute; "0" is a name without a UART
};

// The serial devices among ttys, by the name a user recognises: the link
// under /dev/serial/by-id/ where there is one, else the device node of a USB
// adapter (ttyUSB*, ttyACM*) or of a built-in port with a UART behind it
// (ttyS*). Sorted with numbers in their numeric order, without duplicates.
std::vector<std::string> SerialDeviceNames(const std::vector<TtyDevice>& ttys);

// Text order in which the digits of "ttyS10" count as the number 10.
bool NaturalLess(const std::string& a, const std::string& b);

}  // namespace linkwatch
