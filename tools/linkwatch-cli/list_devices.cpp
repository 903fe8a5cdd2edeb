#include "list_devices.h"

#include <iostream>

#include "exit_codes.h"
#include "link/sd_device_list.h"

namespace linkwatch::cli {

int PrintDevices(IDeviceList& devices, std::ostream& out) {
  for (const std::string& path : devices.Devices()) out << path << '\n';
  out.flush();
  return out ? kExitOk : kExitFailure;
}

int ListDevices() {
  SdDeviceList devices;
  const int status = PrintDevices(devices, std::cout);
  if (!devices.ListError().empty()) {
    std::cerr << "linkwatch-cli: " << devices.ListError() << '\n';
    return kExitFailure;
  }
  return status;
}

}  // namespace linkwatch::cli
