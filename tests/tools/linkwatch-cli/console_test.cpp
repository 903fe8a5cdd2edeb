#include "console.h"

#include <gtest/gtest.h>

#include <string>

namespace linkwatch::cli {
namespace {

// The texts a log receives in a short test, in order.
void FeedLog(Console& c) {
  c.LogText("HEADER");
  c.LogText("\r\nrow 1 ");
  c.Status("00d-00h-00m-01s");
  c.Status("00d-00h-00m-02s");
  c.LogText("\r\nrow 2 ");
  c.Message("A box", "its detail");
  c.LogText("\r\nrow 3 ");
  c.Status("00d-00h-00m-03s");
  c.Finish();
}

constexpr const char* kPrinted = "HEADER\nrow 1 \nrow 2 \nrow 3 \n";

struct Streams {
  bool outTerminal;
  bool errTerminal;
};

class ConsoleOutput : public ::testing::TestWithParam<Streams> {};

// Whatever the streams are, standard output gets exactly the log with LF for
// CR LF and one final LF, so a headless run's output matches its log file.
TEST_P(ConsoleOutput, StandardOutputIsTheLogWithLineFeeds) {
  StringSink out, err;
  Console c(out, err, GetParam().outTerminal, GetParam().errTerminal);
  FeedLog(c);
  EXPECT_EQ(out.text, kPrinted);
  EXPECT_NE(err.text.find("A box\nits detail\n"), std::string::npos);
  EXPECT_EQ(err.text.find("00d-00h-00m-01s") != std::string::npos, GetParam().errTerminal)
      << "a status line only on a terminal";
}

INSTANTIATE_TEST_SUITE_P(Streams, ConsoleOutput,
                         ::testing::Values(Streams{false, false}, Streams{false, true},
                                           Streams{true, false}, Streams{true, true}));

// What one terminal shows when both streams go to it, with the status line
// redrawn in place: "\r" goes back to the line's start, "\033[K" clears the
// rest of it.
std::string Screen(const std::string& bytes) {
  std::string screen, line;
  std::size_t col = 0;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes.compare(i, 3, "\033[K") == 0) {
      line.resize(col);
      i += 2;
    } else if (bytes[i] == '\r') {
      col = 0;
    } else if (bytes[i] == '\n') {
      screen += line + "\n";
      line.clear();
      col = 0;
    } else {
      if (col < line.size()) {
        line[col] = bytes[i];
      } else {
        line += bytes[i];
      }
      ++col;
    }
  }
  return screen + line;
}

// One sink for both streams, as on a terminal.
TEST(ConsoleOnOneTerminal, StatusLineNeverOverwritesARowAndGoesAtTheEnd) {
  StringSink both;
  Console c(both, both, true, true);
  FeedLog(c);
  EXPECT_EQ(Screen(both.text), "HEADER\nrow 1 \nrow 2 \nA box\nits detail\nrow 3 \n");
}

TEST(ConsoleOnOneTerminal, StatusLineStandsBelowTheLastRowWhileTheTestRuns) {
  StringSink both;
  Console c(both, both, true, true);
  c.LogText("HEADER");
  c.LogText("\r\nrow 1 ");
  c.Status("00d-00h-00m-07s  No.Pckts 70");
  EXPECT_EQ(Screen(both.text), "HEADER\nrow 1 \n00d-00h-00m-07s  No.Pckts 70");
  c.Status("00d-00h-00m-08s  No.Pckts 80");
  EXPECT_EQ(Screen(both.text), "HEADER\nrow 1 \n00d-00h-00m-08s  No.Pckts 80");
  c.LogText("\r\nrow 2 ");
  EXPECT_EQ(Screen(both.text), "HEADER\nrow 1 \nrow 2 ");
}

TEST(Console, NothingLoggedPrintsNothing) {
  StringSink out, err;
  Console c(out, err, true, true);
  c.Finish();
  EXPECT_EQ(out.text, "");
  EXPECT_EQ(err.text, "");
}

}  // namespace
}  // namespace linkwatch::cli
