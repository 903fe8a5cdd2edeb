// A long test at the line's full error rate, on a fake clock and a fake port:
// the resident memory as the rows pile up, with the window's row bound, and
// the time to show the oldest row, which then comes back from the log file.
// The row count is the argument; the log (about 62 bytes a row) goes to a
// temporary folder, removed after.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <string>

#include "base/unique_fd.h"
#include "control/monitor_dlg.h"
#include "frame_stream.h"
#include "looping_serial.h"
#include "process_memory.h"
#include "quiet_platform.h"
#include "temp_dir.h"

namespace linkwatch::bench {
namespace {

constexpr int kBytesPerPoll = 960;            // one second of the line at 9600 baud
constexpr std::size_t kRowBound = 1'000'000;  // as the window keeps

// The quiet window on a clock that moves one second a poll.
class FakeClockPlatform : public QuietPlatform {
 public:
  Seconds Now() const override { return now; }
  Seconds Monotonic() const override { return now; }
  Seconds now = 1'700'000'000;
};

double Megabytes(std::size_t bytes) {
  return static_cast<double>(bytes) / (1024.0 * 1024.0);
}

void BM_MonthOfErrorRows(benchmark::State& state) {
  const auto rows = static_cast<std::size_t>(state.range(0));
  for (auto _ : state) {
    testing::TempDir dir;
    FakeClockPlatform platform;
    LoopingSerial serial(ErrorFrames(1000), kBytesPerPoll);
    CMonitorDlg dlg(platform, serial);
    dlg.Results().SetRowBound(kRowBound);
    dlg.OnInitDialog();
    const std::string log = dir.File("results.txt");
    dlg.SetLogPath(log);
    const std::size_t before = ResidentBytes();
    dlg.OnStart();
    std::size_t next = 1'000'000;
    while (dlg.Results().Count() < rows) {
      // The poll without the tick's sync: a month of syncs would measure
      // the disk, not the table.
      ++platform.now;
      dlg.PollLink();
      if (dlg.Results().Count() >= next) {
        state.counters["rss_MB_at_" + std::to_string(next / 1'000'000) + "M"] =
            Megabytes(ResidentBytes() - before);
        next *= 2;
      }
    }
    dlg.StopTest();
    state.counters["rows"] = static_cast<double>(dlg.Results().Count());
    state.counters["rss_MB_at_end"] = Megabytes(ResidentBytes() - before);
    state.counters["table_MB"] = Megabytes(dlg.Results().RowsInMemory() * sizeof(TableRow));
    const UniqueFd fd(::open(log.c_str(), O_RDONLY | O_CLOEXEC));
    state.counters["log_MB"] = Megabytes(static_cast<std::size_t>(::lseek(fd.Get(), 0, SEEK_END)));
    // Out of the page cache as far as it will go, as after days of other work.
    ::posix_fadvise(fd.Get(), 0, 0, POSIX_FADV_DONTNEED);
    const auto t0 = std::chrono::steady_clock::now();
    const TableRow oldest = dlg.Results().At(dlg.Results().Count() - 1);
    std::string shown;
    for (int c = 0; c < kResultColumns; ++c) shown += CellText(oldest, c);
    const auto t1 = std::chrono::steady_clock::now();
    benchmark::DoNotOptimize(shown);
    state.counters["oldest_row_ms"] = std::chrono::duration<double, std::milli>(t1 - t0).count();
    if (platform.notices != 0 || oldest.GetKind() == TableRow::Kind::Missing) {
      state.SkipWithError("the log could not be written or read back");
    }
  }
}
// 2 million rows by default; 20 million (a 1.2 GB log, some minutes) with
// --benchmark_filter=MonthOfErrorRows/20000000.
BENCHMARK(BM_MonthOfErrorRows)
    ->Arg(2'000'000)
    ->Arg(20'000'000)
    ->Iterations(1)
    ->Unit(benchmark::kSecond);

}  // namespace
}  // namespace linkwatch::bench
