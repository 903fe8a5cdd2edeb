// The memory a results table needs per row, measured from the process.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <ctime>
#include <optional>

#include "process_memory.h"
#include "record/results_table.h"

namespace linkwatch::bench {
namespace {

constexpr std::size_t kRows = 10'000'000;

double PerRow(std::size_t before, std::size_t after) {
  return after > before ? static_cast<double>(after - before) / kRows : 0.0;
}

void BM_TableRows(benchmark::State& state) {
  const auto t0 = static_cast<Seconds>(std::time(nullptr));
  double heapPerRow = 0.0;
  double residentPerRow = 0.0;
  for (auto _ : state) {
    std::optional<ResultsTable> table(std::in_place);
    const std::size_t heapBefore = HeapBytesInUse();
    const std::size_t residentBefore = ResidentBytes();
    for (std::size_t i = 0; i < kRows; ++i) {
      const auto x = static_cast<double>(i);
      table->InsertTop(i % 1000 == 999 ? TableRow::Status(t0 + static_cast<Seconds>(i), true)
                                       : TableRow::Result(t0 + static_cast<Seconds>(i),
                                                          {x * 900, x, x * 3, x / 7}));
    }
    heapPerRow = PerRow(heapBefore, HeapBytesInUse());
    residentPerRow = PerRow(residentBefore, ResidentBytes());
    benchmark::DoNotOptimize(table->At(kRows / 2));
    state.PauseTiming();
    table.reset();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * kRows));
  state.counters["bytes_per_row"] = heapPerRow;
  state.counters["resident_bytes_per_row"] = residentPerRow;
}
BENCHMARK(BM_TableRows)->Iterations(2)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace linkwatch::bench
