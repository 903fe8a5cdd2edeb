// Error frames through the whole path: the port, the ring, the decoder, the
// results table and the log file on disk.

#include <benchmark/benchmark.h>

#include <cstdint>

#include "control/monitor_dlg.h"
#include "frame_stream.h"
#include "looping_serial.h"
#include "quiet_platform.h"
#include "temp_dir.h"

namespace linkwatch::bench {
namespace {

// One second of the line at 9600 baud, 8 data bits and one start and stop bit.
constexpr int kBytesPerPoll = 960;
// The table is emptied, untimed, when it has grown this long.
constexpr std::size_t kRowsBeforeClearing = 2'000'000;

void BM_ErrorFrameToLog(benchmark::State& state) {
  testing::TempDir dir;
  QuietPlatform platform;
  LoopingSerial serial(ErrorFrames(1000), kBytesPerPoll);
  CMonitorDlg dlg(platform, serial);
  dlg.SetLogPath(dir.File("results.txt"));
  if (!dlg.OpenLogFile() || !serial.Open(1, 9600)) {
    state.SkipWithError("cannot open the log file or the port");
    return;
  }
  std::uint64_t rows = 0;
  for (auto _ : state) {
    dlg.PollLink();
    if (dlg.Results().Count() >= kRowsBeforeClearing) {
      state.PauseTiming();
      rows += dlg.Results().Count();
      dlg.Results().DeleteAllItems();
      dlg.OpenLogFile();  // empties it, so the disk does not fill up
      state.ResumeTiming();
    }
  }
  rows += dlg.Results().Count();
  if (platform.notices != 0) state.SkipWithError("the log could not be written");
  state.SetItemsProcessed(static_cast<std::int64_t>(rows));
  state.counters["frames_per_poll"] =
      static_cast<double>(rows) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_ErrorFrameToLog)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace linkwatch::bench
