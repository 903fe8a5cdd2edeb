// linkwatch-cli --metrics as a program against rkv-sim: /metrics fetched
// over a plain socket shows what the simulator sent, a client that never
// finishes its request holds up no tick, and an address in use is refused.
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <filesystem>
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

constexpr const char* kZeros = "         0         0         0         0 ";

// The port that standard error names in "serving metrics at
// http://127.0.0.1:PORT/metrics", or 0 when no such line comes in time.
std::uint16_t ServedPort(CliProcess& cli) {
  const std::string mark = "serving metrics at http://127.0.0.1:";
  const auto deadline = std::chrono::steady_clock::now() + 10s;
  while (std::chrono::steady_clock::now() < deadline) {
    const std::string& err = cli.Err();
    if (const auto at = err.find(mark); at != std::string::npos) {
      const auto end = err.find("/metrics", at + mark.size());
      if (end != std::string::npos) {
        return static_cast<std::uint16_t>(std::stoi(err.substr(at + mark.size())));
      }
    }
    cli.ReadLine(100ms);  // gathers both streams while it waits
  }
  return 0;
}

// The sample of name in a /metrics page: "{labels} value" after the name.
std::optional<std::string> Sample(const std::string& page, const std::string& name) {
  const auto at = page.find("\n" + name + "{");
  if (at == std::string::npos) return std::nullopt;
  const auto end = page.find('\n', at + 1);
  return page.substr(at + 1 + name.size(), end - at - 1 - name.size());
}

TEST(CliMetrics, ServesWhatTheSimulatorSent) {
  TempDir dir;
  SimOnPty sim(dir, {"--seed", "21", "--rate", "20", "--error-share", "0.5", "--frames", "60"});
  ASSERT_TRUE(sim.Ready());
  CliProcess cli(
      Cli({"--device", sim.Link(), "--log", dir.File("r.txt"), "--metrics", "127.0.0.1:0"}));
  const std::uint16_t port = ServedPort(cli);
  ASSERT_NE(port, 0) << cli.Err();
  const auto summary = sim.Ended();
  ASSERT_TRUE(summary.contains("error_frames"));
  const std::string label = "{port=\"" + sim.Link() + "\"} ";
  const std::string want = label + std::to_string(summary.at("error_frames"));

  std::optional<HttpReply> reply;
  const auto deadline = std::chrono::steady_clock::now() + 20s;
  while (std::chrono::steady_clock::now() < deadline) {
    reply = HttpGet(port, "/metrics", 5s);
    ASSERT_TRUE(reply) << "no answer on port " << port;
    if (Sample(reply->body, "linkwatch_error_frames_total") == want) break;
    cli.ReadLine(200ms);
  }
  ASSERT_EQ(reply->status, 200);
  EXPECT_NE(reply->head.find("Content-Type: text/plain; version=0.0.4"), std::string::npos)
      << reply->head;
  EXPECT_EQ(Sample(reply->body, "linkwatch_error_frames_total"), want) << reply->body;
  EXPECT_EQ(Sample(reply->body, "linkwatch_frames_total"),
            label + std::to_string(summary.at("frames")));
  EXPECT_EQ(Sample(reply->body, "linkwatch_packets_total"),
            label + std::to_string(summary.at("packets")));
  EXPECT_EQ(Sample(reply->body, "linkwatch_cerr_total"),
            label + std::to_string(summary.at("cerr")));
  EXPECT_EQ(Sample(reply->body, "linkwatch_test_running"), label + "1");

  const auto missing = HttpGet(port, "/", 5s);
  ASSERT_TRUE(missing);
  EXPECT_EQ(missing->status, 404);

  cli.Signal(SIGTERM);
  const CliResult run = cli.Finish(10s);
  EXPECT_EQ(run.status, 0) << run.err;
}

// Clients that connect and say nothing, more of them than the server takes,
// and one that sends a request a line at a time and never ends it: the
// test's rows go on arriving, signals act, and once they are gone a scrape
// is answered.
TEST(CliMetrics, SilentAndUnfinishedClientsHoldUpNoTick) {
  TempDir dir;
  SimOnPty sim(dir, {"--seed", "5", "--rate", "10", "--error-share", "0.5"});
  ASSERT_TRUE(sim.Ready());
  CliProcess cli(
      Cli({"--device", sim.Link(), "--log", dir.File("r.txt"), "--metrics", "127.0.0.1:0"}));
  const std::uint16_t port = ServedPort(cli);
  ASSERT_NE(port, 0) << cli.Err();
  ASSERT_TRUE(cli.WaitForOutput(kZeros, 10s));

  std::vector<UniqueFd> hostile;
  for (int i = 0; i < 24; ++i) hostile.push_back(ConnectLoopback(port));
  UniqueFd slow = ConnectLoopback(port);
  ASSERT_TRUE(slow);
  const std::string part = "GET /metrics HTTP/1.1\r\nHost: 127.0.0.1\r\n";
  ASSERT_EQ(::send(slow.Get(), part.data(), part.size(), MSG_NOSIGNAL),
            static_cast<ssize_t>(part.size()));

  // Rows keep coming while the clients hang on: ten more lines of the log.
  const std::size_t before = cli.Out().size();
  const auto newLines = [&] {
    return std::count(cli.Out().begin() + static_cast<long>(before), cli.Out().end(), '\n');
  };
  const auto rowsDeadline = std::chrono::steady_clock::now() + 60s;
  for (int row = 0; newLines() < 10 && std::chrono::steady_clock::now() < rowsDeadline; ++row) {
    const std::string header = "X-Wait: " + std::to_string(row) + "\r\n";
    ::send(slow.Get(), header.data(), header.size(), MSG_NOSIGNAL);
    cli.ReadLine(1s);  // gathers what the program printed meanwhile
  }
  EXPECT_GE(newLines(), 10) << "standard error: " << cli.Err();

  hostile.clear();
  slow.Reset();
  std::optional<HttpReply> reply;
  const auto deadline = std::chrono::steady_clock::now() + 20s;
  while (!reply && std::chrono::steady_clock::now() < deadline) {
    reply = HttpGet(port, "/metrics", 5s);
  }
  ASSERT_TRUE(reply) << "no scrape answered once the clients had gone";
  EXPECT_EQ(reply->status, 200);

  hostile.push_back(ConnectLoopback(port));  // one still open at the stop
  cli.Signal(SIGTERM);
  const CliResult run = cli.Finish(10s);
  EXPECT_EQ(run.status, 0) << run.err;
}

// Another listener on the port: refused with the system's reason and status
// 6 before anything else, the log left unmade.
TEST(CliMetrics, AnAddressInUseIsRefusedBeforeTheStart) {
  TempDir dir;
  UniqueFd taken(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof a;
  ASSERT_EQ(::bind(taken.Get(), reinterpret_cast<const sockaddr*>(&a), sizeof a), 0);
  ASSERT_EQ(::listen(taken.Get(), 1), 0);
  ASSERT_EQ(::getsockname(taken.Get(), reinterpret_cast<sockaddr*>(&a), &length), 0);
  const std::string where = "127.0.0.1:" + std::to_string(ntohs(a.sin_port));

  const std::string log = dir.File("r.txt");
  CliProcess cli(Cli({"--device", "/dev/null", "--log", log, "--metrics", where}));
  const CliResult run = cli.Finish(10s);
  EXPECT_EQ(run.status, 6);
  EXPECT_NE(run.err.find("cannot serve metrics at " + where + ": Address already in use"),
            std::string::npos)
      << run.err;
  EXPECT_FALSE(std::filesystem::exists(log));
}

}  // namespace
}  // namespace linkwatch::testing
