#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/unique_fd.h"

namespace linkwatch {

// True when something exists at path.
bool FileExists(const std::string& path);

// The log file of one test. Held with an exclusive lock while open, so a
// second program (or a second copy of this one) cannot write into it. Nothing
// is buffered: each text reaches the file at once. Text that cannot be written
// (disk full, file too large, I/O error) is kept, up to a bound, and written
// in order before the next text once writing works again. A file-size limit
// shows as EFBIG only where the program ignores SIGXFSZ, as both programs do
// in main.
class LogFile {
 public:
  static constexpr std::size_t kKeepLimit = 4u << 20;

  LogFile() = default;
  LogFile(const LogFile&) = delete;
  LogFile& operator=(const LogFile&) = delete;
  ~LogFile() { Close(); }

  // Creates the file, or empties it if it exists, and holds it. Returns 0, or
  // the errno of the failure; a file held by another opener gives EWOULDBLOCK
  // and is left as it was.
  int Open(const std::string& path);
  // Open in two steps, for files that must be emptied together or not at
  // all: Hold opens and locks without changing the file, Empty truncates it.
  int Hold(const std::string& path);
  int Empty();
  bool IsOpen() const { return m_fd.Valid(); }

  // Appends text after any kept text. Returns 0 when everything so far is in
  // the file; otherwise the errno of the failure, with the unwritten rest
  // kept. EBADF when the log is not open: nothing is written or kept.
  int Write(std::string_view text);

  // Writes any kept text, then flushes what was written since the last sync to
  // the disk. Returns 0 or the errno of the failure.
  int Sync();

  // Syncs and closes. Returns 0 or the errno of the first failure; kept text
  // that still cannot be written is lost then, and KeptBytes and DroppedLines
  // tell how much until the next Open. Does nothing when closed.
  int Close();

  std::size_t KeptBytes() const { return m_kept.size(); }
  // Lines that had to be dropped since the kept text reached its bound.
  std::uint64_t DroppedLines() const { return m_nDroppedLines; }

 private:
  int WriteAll(std::string_view text, std::size_t& written);
  int WriteKept();
  void Keep(std::string_view text);

  UniqueFd m_fd;
  std::string m_kept;
  std::uint64_t m_nDroppedLines = 0;
  bool m_bDirty = false;
};

}  // namespace linkwatch
