#pragma once

#include <string>
#include <string_view>

namespace linkwatch::cli {

// Where the console's bytes go: a file descriptor in the program, a string
// in the tests.
class OutputSink {
 public:
  virtual ~OutputSink() = default;
  virtual void Write(std::string_view bytes) = 0;
};

// Writes to a descriptor that it does not own. A reader that has gone (a
// closed pipe, a hung-up terminal) must not end the test: after the first
// failure the sink drops everything, and the log file stays the record.
class FdSink : public OutputSink {
 public:
  explicit FdSink(int fd) : m_fd(fd) {}
  void Write(std::string_view bytes) override;
  bool Broken() const { return m_bBroken; }

 private:
  int m_fd;
  bool m_bBroken = false;
};

class StringSink : public OutputSink {
 public:
  void Write(std::string_view bytes) override { text.append(bytes); }
  std::string text;
};

}  // namespace linkwatch::cli
