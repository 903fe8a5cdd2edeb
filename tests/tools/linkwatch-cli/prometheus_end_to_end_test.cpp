// A real Prometheus scraping linkwatch-cli --metrics fed by rkv-sim: its
// query API must come to show the error frames the simulator sent. Both
// servers listen on 127.0.0.1 only; Prometheus keeps its data in a
// temporary folder and is stopped at the end. Skipped where Prometheus is
// not installed.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <fstream>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "cli_process.h"
#include "http_get.h"
#include "sim_process.h"
#include "temp_dir.h"

namespace linkwatch::testing {
namespace {

using namespace std::chrono_literals;

constexpr const char* kPrometheus = "/usr/bin/prometheus";

// The value of the first sample in an /api/v1/query answer, and whether its
// labels include port="<port>"; nothing while there is no sample.
struct QueryResult {
  std::string value;
  bool portLabel = false;
};
std::optional<QueryResult> FirstSample(const std::string& json, const std::string& port) {
  if (json.find("\"status\":\"success\"") == std::string::npos) return std::nullopt;
  const auto at = json.find("\"value\":[");
  if (at == std::string::npos) return std::nullopt;
  const auto open = json.find('"', json.find(',', at));
  const auto close = json.find('"', open + 1);
  if (open == std::string::npos || close == std::string::npos) return std::nullopt;
  return QueryResult{json.substr(open + 1, close - open - 1),
                     json.find("\"port\":\"" + port + "\"") != std::string::npos};
}

std::uint16_t ServedPort(CliProcess& cli) {
  const std::string mark = "serving metrics at http://127.0.0.1:";
  const auto deadline = std::chrono::steady_clock::now() + 10s;
  while (std::chrono::steady_clock::now() < deadline) {
    if (const auto at = cli.Err().find(mark);
        at != std::string::npos && cli.Err().find("/metrics", at) != std::string::npos) {
      return static_cast<std::uint16_t>(std::stoi(cli.Err().substr(at + mark.size())));
    }
    cli.ReadLine(100ms);  // gathers both streams while it waits
  }
  return 0;
}

TEST(PrometheusEndToEnd, ScrapedErrorFramesMatchTheSimulator) {
  if (::access(kPrometheus, X_OK) != 0) GTEST_SKIP() << kPrometheus << " is not installed";
  TempDir dir;

  const std::string link = dir.File("ttyRKV");
  SimProcess sim(
      {"--seed", "8", "--rate", "20", "--error-share", "0.4", "--frames", "80", "--link", link});
  const auto announce = sim.ReadLine(5s);
  ASSERT_TRUE(announce && announce->rfind("device: ", 0) == 0);
  CliProcess cli(Cli({"--device", link, "--log", dir.File("r.txt"), "--metrics", "127.0.0.1:0"}));
  const std::uint16_t metricsPort = ServedPort(cli);
  ASSERT_NE(metricsPort, 0) << cli.Err();

  const std::uint16_t webPort = FreeLoopbackPort();
  ASSERT_NE(webPort, 0);
  std::ofstream(dir.File("prometheus.yml")) << "global:\n"
                                               "  scrape_interval: 1s\n"
                                               "  scrape_timeout: 1s\n"
                                               "scrape_configs:\n"
                                               "  - job_name: linkwatch\n"
                                               "    static_configs:\n"
                                               "      - targets: ['127.0.0.1:"
                                            << metricsPort << "']\n";
  const UniqueFd logFd(
      ::open(dir.File("prometheus.log").c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600));
  ChildSetup setup;
  setup.program = kPrometheus;
  setup.args = {"--config.file=" + dir.File("prometheus.yml"),
                "--storage.tsdb.path=" + dir.File("data"),
                "--web.listen-address=127.0.0.1:" + std::to_string(webPort)};
  setup.dir = dir.Path().string();
  setup.stdoutFd = logFd.Get();
  setup.stderrFd = logFd.Get();
  ChildProcess prometheus(setup);

  std::map<std::string, std::uint64_t> summary;
  while (const auto line = sim.ReadLine(20s)) {
    if (line->rfind("summary:", 0) == 0) summary = ParseSummary(*line);
  }
  ASSERT_TRUE(summary.contains("error_frames"));
  const std::string want = std::to_string(summary.at("error_frames"));

  std::optional<QueryResult> last;
  const auto deadline = std::chrono::steady_clock::now() + 40s;
  while (std::chrono::steady_clock::now() < deadline) {
    if (const auto reply = HttpGet(webPort, "/api/v1/query?query=linkwatch_error_frames_total", 5s);
        reply && reply->status == 200) {
      last = FirstSample(reply->body, link);
      if (last && last->value == want) break;
    }
    cli.ReadLine(250ms);  // keeps its output flowing while we wait
  }
  ASSERT_TRUE(last) << "Prometheus never had a sample; its log:\n"
                    << ReadFile(dir.File("prometheus.log"));
  EXPECT_EQ(last->value, want) << "error frames, as Prometheus scraped them";
  EXPECT_TRUE(last->portLabel) << "labelled with the port";

  prometheus.Signal(SIGTERM);
  EXPECT_NE(prometheus.Finish(15s).status, -1) << "Prometheus did not stop on SIGTERM";
  cli.Signal(SIGTERM);
  EXPECT_EQ(cli.Finish(10s).status, 0);
}

}  // namespace
}  // namespace linkwatch::testing
