#include "output_sink.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <string>

#include "base/unique_fd.h"

namespace linkwatch::cli {
namespace {

using namespace std::chrono_literals;

// A pipe opened blocking, as a shell hands it over, whose reader takes
// nothing until told.
struct StalledPipe {
  StalledPipe() {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) == 0) {
      read = UniqueFd(fds[0]);
      write = UniqueFd(fds[1]);
      capacity = ::fcntl(fds[1], F_SETPIPE_SZ, 4096);
    }
  }
  std::string TakeAll() const {
    std::string got;
    char buf[4096];
    const int flags = ::fcntl(read.Get(), F_GETFL);
    ::fcntl(read.Get(), F_SETFL, flags | O_NONBLOCK);
    for (ssize_t n; (n = ::read(read.Get(), buf, sizeof buf)) > 0;) got.append(buf, n);
    ::fcntl(read.Get(), F_SETFL, flags);
    return got;
  }
  UniqueFd read, write;
  int capacity = -1;
};

std::string Row(int i) {
  return "\nrow " + std::to_string(i) + std::string(50, '.');
}

TEST(FdSink, AStalledReaderQueuesThenSkipsWithACountAndNeverBlocks) {
  StalledPipe pipe;
  ASSERT_GT(pipe.capacity, 0);
  // Room for the pipe's content and some rows more; the rest is skipped.
  FdSink sink(pipe.write.Get(), "row", 1000);
  std::string sent;
  int rows = 0;
  while (sent.size() < static_cast<std::size_t>(pipe.capacity) + 2000) {
    sent += Row(rows);
    sink.Write(Row(rows++));  // would block here without the fix
  }
  EXPECT_TRUE(sink.Pending());
  EXPECT_GT(sink.Skipped(), 0u);
  EXPECT_EQ(::fcntl(pipe.write.Get(), F_GETFL) & O_NONBLOCK, 0)
      << "the descriptor is left blocking";

  // The reader comes back: what was queued follows, then the count, then the
  // next row on a line of its own.
  std::string shown = pipe.TakeAll();
  const std::uint64_t skipped = sink.Skipped();
  sink.Flush();
  shown += pipe.TakeAll();
  EXPECT_FALSE(sink.Pending());
  sink.Write(Row(rows));
  shown += pipe.TakeAll();

  const std::size_t kept = shown.find("\n... ");
  ASSERT_NE(kept, std::string::npos) << shown;
  EXPECT_EQ(sent.rfind(shown.substr(0, kept), 0), 0u) << "the rows before the gap are whole";
  EXPECT_EQ(shown.substr(kept), "\n... " + std::to_string(skipped) + " rows not shown" + Row(rows));
  EXPECT_EQ(std::count(shown.begin(), shown.begin() + static_cast<std::ptrdiff_t>(kept), '\n') +
                static_cast<std::ptrdiff_t>(skipped),
            rows)
      << "every row is either shown or counted";
}

TEST(FdSink, TheCountOfTheLastRowsComesAtTheEndAndAStatusIsNeverQueued) {
  StalledPipe pipe;
  ASSERT_GT(pipe.capacity, 0);
  FdSink sink(pipe.write.Get(), "row", 100);
  const std::string fill(static_cast<std::size_t>(pipe.capacity), 'x');
  ASSERT_EQ(::write(pipe.write.Get(), fill.data(), fill.size()), pipe.capacity);
  sink.WriteIfIdle("\rstatus");
  sink.Write("\nrow 1");
  sink.Write("\nrow 2");
  sink.Write("\n");  // a bare line break is no row
  EXPECT_EQ(sink.Skipped(), 0u) << "the queue holds them";
  sink.Write(std::string(200, 'y'));
  EXPECT_EQ(sink.Skipped(), 1u);
  sink.WriteIfIdle("\rstatus");

  EXPECT_EQ(pipe.TakeAll(), fill);
  sink.Drain(2s);
  EXPECT_EQ(pipe.TakeAll(), "\nrow 1\nrow 2\n... 1 row not shown\n");

  // A reader that never comes back costs the end of a run only the wait.
  ASSERT_EQ(::write(pipe.write.Get(), fill.data(), fill.size()), pipe.capacity);
  sink.Write("\nrow 3");
  sink.Drain(50ms);
  EXPECT_TRUE(sink.Pending());
}

TEST(FdSink, AGoneReaderDropsEverythingQuietly) {
  ::signal(SIGPIPE, SIG_IGN);  // as the program does
  StalledPipe pipe;
  pipe.read.Reset();
  FdSink sink(pipe.write.Get(), "row");
  sink.Write("\nrow 1");
  EXPECT_TRUE(sink.Broken());
  sink.Write("\nrow 2");
  EXPECT_FALSE(sink.Pending());
}

}  // namespace
}  // namespace linkwatch::cli
