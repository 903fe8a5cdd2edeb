// The /metrics page as Prometheus reads it: every metric with its HELP and
// TYPE, one sample each labelled with the port, label values escaped.
#include "metrics_text.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace linkwatch::cli {
namespace {

const std::vector<std::string> kNames = {"linkwatch_test_running",
                                         "linkwatch_line_up",
                                         "linkwatch_test_elapsed_seconds",
                                         "linkwatch_frames_total",
                                         "linkwatch_error_frames_total",
                                         "linkwatch_packets_total",
                                         "linkwatch_ucerr_total",
                                         "linkwatch_cerr_total",
                                         "linkwatch_sync_loss_total",
                                         "linkwatch_line_losses_total",
                                         "linkwatch_log_write_failures_total"};

struct Page {
  std::map<std::string, std::string> help, type, sample;  // by metric name
  std::set<std::string> labels;                           // every sample's label set
  std::vector<std::string> bad;                           // lines that fit no form
};

// Reads the page line by line as the text format defines it.
Page Read(const std::string& text) {
  Page page;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind("# HELP ", 0) == 0 || line.rfind("# TYPE ", 0) == 0) {
      const auto sp = line.find(' ', 7);
      (line[2] == 'H' ? page.help : page.type)[line.substr(7, sp - 7)] = line.substr(sp + 1);
    } else if (const auto brace = line.find('{'); brace != std::string::npos) {
      const auto close = line.rfind("} ");
      page.labels.insert(line.substr(brace, close + 1 - brace));
      page.sample[line.substr(0, brace)] = line.substr(close + 2);
    } else {
      page.bad.push_back(line);
    }
  }
  return page;
}

TEST(MetricsText, EveryMetricHasHelpTypeAndOneLabelledSample) {
  MetricsFigures f;
  f.port = "/dev/ttyUSB0";
  f.running = true;
  f.lineUp = true;
  f.elapsed = 3600;
  f.frames = 3600;
  f.errorFrames = 7;
  f.counts = {123456, 3, 4, 5};
  f.lineLosses = 2;
  f.logWriteFailures = 1;
  const std::string text = RenderMetrics(f);
  ASSERT_EQ(text.back(), '\n') << "the last line ends too";
  const Page page = Read(text);
  EXPECT_TRUE(page.bad.empty()) << page.bad.front();
  EXPECT_EQ(page.labels, std::set<std::string>{"{port=\"/dev/ttyUSB0\"}"});
  EXPECT_EQ(page.sample.size(), kNames.size());
  for (const std::string& name : kNames) {
    SCOPED_TRACE(name);
    EXPECT_FALSE(page.help.at(name).empty());
    const bool counter = name.ends_with("_total");
    EXPECT_EQ(page.type.at(name), counter ? "counter" : "gauge");
  }
  const std::map<std::string, std::string> expected = {{"linkwatch_test_running", "1"},
                                                       {"linkwatch_line_up", "1"},
                                                       {"linkwatch_test_elapsed_seconds", "3600"},
                                                       {"linkwatch_frames_total", "3600"},
                                                       {"linkwatch_error_frames_total", "7"},
                                                       {"linkwatch_packets_total", "123456"},
                                                       {"linkwatch_ucerr_total", "3"},
                                                       {"linkwatch_cerr_total", "4"},
                                                       {"linkwatch_sync_loss_total", "5"},
                                                       {"linkwatch_line_losses_total", "2"},
                                                       {"linkwatch_log_write_failures_total", "1"}};
  EXPECT_EQ(page.sample, expected);
}

// Sums that a double holds beyond what an integer text would show: they are
// written so that they read back exactly, never cut or as "inf".
TEST(MetricsText, LargeSumsReadBackExactly) {
  MetricsFigures f;
  f.port = "COM1";
  f.counts = {9007199254740992.0, 1e20, 0.0, 4294967296.0};
  const Page page = Read(RenderMetrics(f));
  EXPECT_EQ(std::stod(page.sample.at("linkwatch_packets_total")), 9007199254740992.0);
  EXPECT_EQ(std::stod(page.sample.at("linkwatch_ucerr_total")), 1e20);
  EXPECT_EQ(page.sample.at("linkwatch_cerr_total"), "0");
  EXPECT_EQ(page.sample.at("linkwatch_sync_loss_total"), "4294967296");
  EXPECT_EQ(page.sample.at("linkwatch_test_running"), "0");
}

TEST(MetricsText, LabelValuesAreEscaped) {
  const struct {
    std::string raw, escaped;
  } cases[] = {
      {"/dev/serial/by-id/usb-FTDI_A1-if00-port0", "/dev/serial/by-id/usb-FTDI_A1-if00-port0"},
      {R"(C:\ports\a)", R"(C:\\ports\\a)"},
      {"say \"hi\"", R"(say \"hi\")"},
      {"two\nlines", R"(two\nlines)"},
      {"\\\"\n", R"(\\\"\n)"},
      {"", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.raw);
    EXPECT_EQ(EscapeLabelValue(c.raw), c.escaped);
    MetricsFigures f;
    f.port = c.raw;
    const Page page = Read(RenderMetrics(f));
    EXPECT_TRUE(page.bad.empty()) << "a raw line feed would split a sample";
    EXPECT_EQ(page.labels, std::set<std::string>{"{port=\"" + c.escaped + "\"}"});
  }
}

}  // namespace
}  // namespace linkwatch::cli
