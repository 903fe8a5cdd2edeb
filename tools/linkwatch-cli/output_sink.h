#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace linkwatch::cli {

// Where the console's bytes go: a file descriptor in the program, a string
// in the tests.
class OutputSink {
 public:
  virtual ~OutputSink() = default;
  // One piece of text: a log line, a message.
  virtual void Write(std::string_view bytes) = 0;
  // Text that is only worth showing now, such as a status line redrawn every
  // second: dropped without a count when it cannot be written at once.
  virtual void WriteIfIdle(std::string_view bytes) { Write(bytes); }
};

// Writes to a descriptor that it does not own, and never waits for it: the
// port and the log come first, and a stalled reader (a pipe nobody reads, a
// terminal stopped with Ctrl+S, a stalled SSH session) must not hold up a
// tick or a stop signal. What the descriptor cannot take now is queued, up
// to a bound, and written by Flush once it can; past the bound whole texts
// are skipped until the queue has drained, and then one line tells how many
// ("... N rows not shown"). A reader that has gone (a closed pipe) must not
// end the test either: after such a failure everything is dropped, and the
// log file stays the record.
class FdSink : public OutputSink {
 public:
  static constexpr std::size_t kQueueLimit = 1u << 20;

  // what names one text in the note about skipped ones ("row").
  FdSink(int fd, std::string what, std::size_t queueLimit = kQueueLimit)
      : m_fd(fd), m_strWhat(std::move(what)), m_nQueueLimit(queueLimit) {}

  void Write(std::string_view bytes) override;
  void WriteIfIdle(std::string_view bytes) override;
  // Writes as much of the queue as the descriptor takes now.
  void Flush();
  // At the end of a run: flushes while the reader keeps taking text, and
  // gives up once it has taken nothing for the given time.
  void Drain(std::chrono::milliseconds stall);

  int Fd() const { return m_fd; }
  bool Pending() const { return !m_bBroken && !m_queue.empty(); }
  bool Broken() const { return m_bBroken; }
  // Texts skipped since the last note about them.
  std::uint64_t Skipped() const { return m_nSkipped; }

 private:
  void Accept(std::string_view bytes);

  int m_fd;
  std::string m_strWhat;
  std::size_t m_nQueueLimit;
  std::string m_queue;
  std::uint64_t m_nSkipped = 0;
  char m_cLast = '\n';  // the last byte accepted, to put the note on a line of its own
  bool m_bBroken = false;
};

class StringSink : public OutputSink {
 public:
  void Write(std::string_view bytes) override { text.append(bytes); }
  std::string text;
};

}  // namespace linkwatch::cli
