// Decoder throughput against a plain copy of the same amount of memory.

#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "acquire/frame_decoder.h"
#include "frame_stream.h"

namespace linkwatch::bench {
namespace {

constexpr std::size_t kLineBytes = std::size_t{16} << 20;

const std::vector<std::uint8_t>& Line() {
  static const std::vector<std::uint8_t> line = TypicalLine(kLineBytes);
  return line;
}

const std::vector<std::uint8_t>& Clean() {
  static const std::vector<std::uint8_t> line = CleanLine(kLineBytes);
  return line;
}

// What the dialog does with a frame, less the row: the running totals. Kept
// in plain locals: a struct whose address is taken stays in memory, and every
// frame would then pay a store and a reload on the running sum.
struct Sums {
  double packets = 0.0;
  double ucErr = 0.0;
  double cErr = 0.0;
  double syncLoss = 0.0;
};

inline Sums Add(Sums s, const FrameCounts& c) {
  s.packets += c.packets;
  if (c.HasErrors()) {
    s.ucErr += c.ucErr;
    s.cErr += c.cErr;
    s.syncLoss += c.syncLoss;
  }
  return s;
}

void Keep(const Sums& s) {
  double all = s.packets + s.ucErr + s.cErr + s.syncLoss;
  benchmark::DoNotOptimize(all);
}

void Decode(benchmark::State& state, const std::vector<std::uint8_t>& line) {
  for (auto _ : state) {
    FrameDecoder decoder;
    Sums sums;
    decoder.FeedBlock(line.data(), line.size(), [&](const FrameCounts& c) { sums = Add(sums, c); });
    Keep(sums);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * line.size()));
}

void BM_Decode(benchmark::State& state) {
  Decode(state, Line());
}
BENCHMARK(BM_Decode)->Unit(benchmark::kMillisecond);

// Frames only: what the noise on the typical line costs.
void BM_DecodeCleanLine(benchmark::State& state) {
  Decode(state, Clean());
}
BENCHMARK(BM_DecodeCleanLine)->Unit(benchmark::kMillisecond);

// The same through Feed one byte at a time, to show what the block path gains.
void BM_DecodeByteByByte(benchmark::State& state) {
  const std::vector<std::uint8_t>& line = Line();
  for (auto _ : state) {
    FrameDecoder decoder;
    Sums sums;
    for (std::uint8_t b : line) {
      if (const auto c = decoder.Feed(b)) sums = Add(sums, *c);
    }
    Keep(sums);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * line.size()));
}
BENCHMARK(BM_DecodeByteByByte)->Unit(benchmark::kMillisecond);

void BM_Memcpy(benchmark::State& state) {
  const std::vector<std::uint8_t>& line = Line();
  std::vector<std::uint8_t> copy(line.size());
  for (auto _ : state) {
    std::memcpy(copy.data(), line.data(), line.size());
    benchmark::DoNotOptimize(copy.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * line.size()));
}
BENCHMARK(BM_Memcpy)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace linkwatch::bench
