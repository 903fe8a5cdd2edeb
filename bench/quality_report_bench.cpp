// quality_report_bench: how fast a finished test is summarised. Prints figures;
// nothing here passes or fails.
//   - a week of per-second CSV (604,800 lines), read and summarised;
//   - a log of 10 million lines, read and summarised, against `wc -l` on the
//     same file.
// Each figure is the best of a few runs, with the files in the page cache.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <variant>

#include "quality/iso_time.h"
#include "quality/second_csv.h"
#include "quality/summary_file.h"
#include "temp_dir.h"

using namespace linkwatch;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kRuns = 5;
constexpr std::int64_t kStart = 1796994309;  // 2026-12-11

double Seconds(Clock::duration d) {
  return std::chrono::duration<double>(d).count();
}

void WriteWeekCsv(const std::string& path) {
  std::ofstream out(path, std::ios::binary);
  out << SecondCsvHeaderLine();
  std::uint32_t x = 12345;
  for (std::int64_t i = 0; i < 604800; ++i) {
    x = x * 1103515245u + 12345u;
    SecondRecord r{kStart + i, 960, 0, 0, 0, 10, LineStatus::Up};
    if ((x >> 16) % 20 == 0) r.ucErr = (x >> 8) % 400;
    if ((x >> 12) % 10 == 0) r.cErr = (x >> 4) % 50;
    if ((x >> 20) % 5000 == 0) r.syncLoss = 1;
    if (i % 100000 > 99990) r = {kStart + i, 0, 0, 0, 0, 0, LineStatus::Lost};
    out << SecondCsvLine(r);
  }
}

// Ten error rows a second, with a repeated header after every 50, as the
// program writes them.
void WriteLog(const std::string& path, long lines) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) std::exit(1);
  std::fputs("   Date      Time    No.Pckts     ucERR      cERR  SyncLoss", f);
  double packets = 0, uc = 0, c = 0;
  int errorRows = 0;
  for (long i = 1; i < lines; ++i) {
    const std::int64_t t = kStart + i / 10;
    const std::string iso = IsoLocalTime(t);  // yyyy-mm-ddThh:mm:ss
    if (errorRows == 50) {
      std::fputs("\r\n   Date      Time    No.Pckts     ucERR      cERR  SyncLoss", f);
      errorRows = 0;
      continue;
    }
    packets += 96;
    uc += 1;
    c += 3;
    ++errorRows;
    std::fprintf(f, "\r\n%.2s-%.2s-%.4s %.8s %9d %9d %9d %9d ", iso.c_str() + 8, iso.c_str() + 5,
                 iso.c_str(), iso.c_str() + 11, static_cast<int>(packets), static_cast<int>(uc),
                 static_cast<int>(c), 0);
  }
  std::fclose(f);
}

template <class F>
double Best(F&& f) {
  double best = 1e9;
  for (int i = 0; i < kRuns; ++i) {
    const auto t0 = Clock::now();
    f();
    best = std::min(best, Seconds(Clock::now() - t0));
  }
  return best;
}

void Summarise(const std::string& path) {
  auto loaded = LoadSummary(path);
  if (std::holds_alternative<InputError>(loaded)) {
    std::fprintf(stderr, "%s\n", std::get<InputError>(loaded).Text().c_str());
    std::exit(1);
  }
}

}  // namespace

int main() {
  testing::TempDir dir;
  const std::string csv = dir.File("week.csv");
  WriteWeekCsv(csv);
  const double csvTime = Best([&] { Summarise(csv); });
  std::printf("week_csv_lines=604801 summarise_seconds=%.3f (target < 1 s)\n", csvTime);

  const std::string log = dir.File("big.txt");
  WriteLog(log, 10'000'000);
  const double logTime = Best([&] { Summarise(log); });
  const std::string wc = "wc -l < '" + log + "' > /dev/null";
  const double wcTime = Best([&] {
    if (std::system(wc.c_str()) != 0) std::exit(1);
  });
  std::printf(
      "log_lines=10000000 summarise_seconds=%.3f wc_l_seconds=%.3f "
      "speed_vs_wc=%.2f (target >= 0.5)\n",
      logTime, wcTime, wcTime / logTime);
  return 0;
}
