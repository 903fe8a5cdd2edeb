#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "base/unique_fd.h"

namespace linkwatch::sim {

// Where the frames go: the master of a new pseudo-terminal, or a tty that
// exists already. Both are written without blocking.
class SimLine {
 public:
  // A new pty whose slave is a raw 9600-baud line from the start, so that
  // bytes written before a reader sets it up are not translated or echoed.
  static std::optional<SimLine> NewPty(std::string& error);
  static std::optional<SimLine> OpenDevice(const std::string& path, std::string& error);

  int Fd() const { return m_out.Get(); }
  // The slave's path for a pty, else the device's.
  const std::string& Path() const { return m_path; }

  // Bytes written to a pty that no reader has taken so far (0 for a device,
  // which cannot tell).
  std::size_t Queued() const;
  // Takes those bytes off the line and returns how many there were: closing
  // the pty throws them away anyway, and this way the count is exact, also
  // for bytes that the tty still held beyond what its queue count shows.
  std::size_t TakeUnread();

 private:
  SimLine(UniqueFd out, UniqueFd slave, std::string path)
      : m_out(std::move(out)), m_slave(std::move(slave)), m_path(std::move(path)) {}

  UniqueFd m_out;
  UniqueFd m_slave;  // kept open for the queue count; never read but by TakeUnread
  std::string m_path;
};

}  // namespace linkwatch::sim
