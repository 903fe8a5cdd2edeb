#include <cstdlib>
#include <string>

#include "link/serial_port.h"

namespace linkwatch {

std::string CSerialPort::DevicePath(int port) {
  if (port < 1) return {};
  if (port <= 4) {
    // Lets a USB adapter (/dev/serial/by-id/...) or a pty stand in for COM<n>.
    const std::string var = "LINKWATCH_COM" + std::to_string(port);
    if (const char* path = std::getenv(var.c_str()); path != nullptr && *path != '\0') return path;
  }
  return "/dev/ttyS" + std::to_string(port - 1);
}

}  // namespace linkwatch
