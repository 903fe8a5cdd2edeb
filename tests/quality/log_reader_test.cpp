#include "quality/log_reader.h"

#include <gtest/gtest.h>

#include <numeric>
#include <string>
#include <vector>

#include "quality/g826.h"

namespace linkwatch {
namespace {

const char* const kLines[] = {
    "   Date      Time    No.Pckts     ucERR      cERR  SyncLoss",
    "11-12-2026 14:00:00         0         0         0         0 ",
    "11-12-2026 14:00:05       500         2         3         0 ",
    "11-12-2026 14:00:05       510        62         3         0 ",
    "11-12-2026 14:00:08 RS-232 Connection Loss ",
    "11-12-2026 14:00:11 RS-232 Connection Restored ",
    "11-12-2026 14:00:12       710        62         3         1 ",
    "   Date      Time    No.Pckts     ucERR      cERR  SyncLoss",
    "11-12-2026 14:00:20      1510        62         3         1 ",
};

// As the program writes it: CR LF before every line but the first.
std::string Log(std::size_t count = std::size(kLines), const char* sep = "\r\n") {
  std::string text;
  for (std::size_t i = 0; i < count; ++i) text += (i == 0 ? "" : sep) + std::string(kLines[i]);
  return text;
}

std::vector<SecondRecord> Read(const std::string& text, std::optional<InputError>& err) {
  std::vector<SecondRecord> out;
  err = ParseLog(text, "results.txt", [&](const SecondRecord& r) { out.push_back(r); });
  return out;
}

TEST(LogReader, RebuildsSecondsFromRowsAndStatusLines) {
  std::optional<InputError> err;
  const auto seconds = Read(Log(), err);
  ASSERT_FALSE(err) << err->Text();
  ASSERT_EQ(seconds.size(), 20u);  // the ticks after the start row
  const std::int64_t t0 = seconds[0].time - 1;
  for (std::size_t i = 0; i < seconds.size(); ++i) EXPECT_EQ(seconds[i].time, t0 + 1 + i);
  // Both frames of 14:00:05 land in that second, with their packets.
  EXPECT_EQ(seconds[4].ucErr, 62u);
  EXPECT_EQ(seconds[4].cErr, 3u);
  EXPECT_EQ(seconds[4].frames, 2u);
  EXPECT_EQ(seconds[4].packets, 110u);
  EXPECT_EQ(seconds[6].line, LineStatus::Quiet);
  for (int i : {7, 8, 9}) EXPECT_EQ(seconds[i].line, LineStatus::Lost) << i;
  EXPECT_EQ(seconds[10].line, LineStatus::Up);
  EXPECT_EQ(seconds[11].syncLoss, 1u);
  const auto packets =
      std::accumulate(seconds.begin(), seconds.end(), std::uint64_t{0},
                      [](std::uint64_t s, const SecondRecord& r) { return s + r.packets; });
  EXPECT_EQ(packets, 1510u);

  G826Accumulator acc;
  for (const auto& r : seconds) acc.Add(r);
  const G826Figures f = acc.Figures();
  EXPECT_EQ(f.secondsNotMeasured, 4u);
  EXPECT_EQ(f.es, 2u);
  EXPECT_EQ(f.ses, 2u);  // 62 of 110 ucERR, and a sync loss
  EXPECT_EQ(f.ucErr, 62u);
}

TEST(LogReader, AcceptsLfLineEnds) {
  std::optional<InputError> errCrLf, errLf;
  EXPECT_EQ(Read(Log(), errCrLf), Read(Log(std::size(kLines), "\n") + "\n", errLf));
  EXPECT_FALSE(errLf);
}

TEST(LogReader, BadInputNamesFileAndLine) {
  const std::string full = Log();
  const struct {
    std::string text;
    std::uint64_t line;
  } cases[] = {
      {"", 0},
      {"time,packets\n", 1},
      {full.substr(0, full.size() - 12), 9},  // cut inside the last row
      {Log(3) + "\r\n11-12-2026 14:00:09 RS-232 Connection Lo", 4},
      {Log(3) + "\r\nhello", 4},
      {Log(3) + "\r\n11-12-2026 14:00:09       960        x0         0         0 ", 4},
      {Log(3) + "\r\n31-13-2026 14:00:09         0         0         0         0 ", 4},
  };
  for (const auto& c : cases) {
    std::optional<InputError> err;
    Read(c.text, err);
    ASSERT_TRUE(err) << c.text;
    EXPECT_EQ(err->line, c.line) << c.text;
    EXPECT_EQ(err->file, "results.txt");
  }
}

TEST(LogReader, FailedStartIsAnEmptyTest) {
  std::optional<InputError> err;
  const auto seconds =
      Read(std::string(kLines[0]) + "\r\n     Cannot Open COM2 - recording terminated", err);
  EXPECT_FALSE(err);
  EXPECT_TRUE(seconds.empty());
}

}  // namespace
}  // namespace linkwatch
