#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/file_system.h"
#include "base/unique_fd.h"
#include "record/results_table.h"

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
class LogFile : public ILogSource {
 public:
  static constexpr std::size_t kKeepLimit = 4u << 20;

  // Where the open file is, compared with the path it was opened at.
  enum class Place {
    Same,       // still there, or it cannot be told
    Recreated,  // it had been deleted; it is back at its path, all of it
    Moved,      // it has been renamed: Path() is where it is now
    Orphaned,   // deleted, and its path cannot be created again (yet)
  };
  struct PlaceCheck {
    Place place = Place::Same;
    int sysErrno = 0;  // for Orphaned: why the path cannot be created
  };

  explicit LogFile(IFileSystem& fs = PosixFileSystem::Shared()) : m_fs(fs) {}
  LogFile(const LogFile&) = delete;
  LogFile& operator=(const LogFile&) = delete;
  ~LogFile() override { Close(); }

  // Creates the file, or empties it if it exists, and holds it. Returns 0, or
  // the errno of the failure; a file held by another opener gives EWOULDBLOCK
  // and is left as it was. Anything but a regular file at the path (a device,
  // a FIFO) is refused with EINVAL, and NotAFile then says what it is.
  int Open(const std::string& path);
  // After a refused Open: what is at the path ("a character device");
  // empty otherwise.
  const std::string& NotAFile() const { return m_strNotAFile; }
  bool IsOpen() const { return m_fd.Valid(); }
  // The path of the file: where it was opened, or where it was moved to.
  const std::string& Path() const { return m_strPath; }

  // Looks whether the file is still at its path. A deleted file is created
  // anew at the path with everything written so far (it is still reachable
  // through the open descriptor), held as the old one was, and written on;
  // when the path cannot be created, writing goes on into the deleted file
  // and the next check tries again. A renamed file is written where it is.
  PlaceCheck CheckPlace();

  // Reads up to size bytes of the file from offset into data: what was
  // written, also after Close, until the next Open. Returns the count read
  // (0 at the end), or -1 with errno set.
  long ReadAt(std::uint64_t offset, char* data, std::size_t size) const override;
  // Bytes in the file since Open; kept text is not in it yet.
  std::uint64_t WrittenBytes() const override { return m_nWritten; }
  // Where the next text will start in the file, once written; kNotInLog when
  // that cannot be told, as lines have been dropped.
  std::uint64_t NextOffset() const {
    if (!m_fd || m_nDroppedLines != 0) return ResultsTable::kNotInLog;
    return m_nWritten + m_kept.size();
  }

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
  int WriteAll(int fd, std::string_view text, std::size_t& written);
  int WriteKept();
  void Keep(std::string_view text);
  // Opens path for writing, creating it, and holds it: locked and emptied.
  int OpenHeld(const std::string& path, UniqueFd& fd);
  // A reading descriptor of its own for the file open at fd.
  UniqueFd OpenForReading(int fd);
  int Recreate();

  IFileSystem& m_fs;
  UniqueFd m_fd;
  // A description without the lock, so that the text stays readable after
  // Close: the rows shown from the log need it.
  UniqueFd m_readFd;
  std::string m_strPath;
  std::string m_kept;
  std::string m_strNotAFile;
  std::uint64_t m_nDroppedLines = 0;
  std::uint64_t m_nWritten = 0;
  bool m_bDirty = false;
};

}  // namespace linkwatch
