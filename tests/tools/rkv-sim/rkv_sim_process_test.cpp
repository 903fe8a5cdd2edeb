// rkv-sim as a program, read through CSerialPort and the frame decoder: what
// its summary says it delivered is exactly what a reader decodes.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/ioctl.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "acquire/frame_decoder.h"
#include "base/unique_fd.h"
#include "link/serial_port.h"
#include "sim_process.h"
#include "sim_totals.h"
#include "temp_dir.h"

namespace linkwatch::testing {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr const char* kDevice = "device: ";

// Polls COM1 as the link poll does, only much more often, decoding as it goes.
class Receiver {
 public:
  bool Open() { return m_port.Open(1, 9600); }
  void Poll() {
    int waiting = m_port.BytesWaiting();
    if (waiting > 0) m_lastBytes = Clock::now();
    while (waiting > 0) {
      std::uint8_t buf[256];
      const int got = m_port.Read(buf, std::min<int>(waiting, sizeof buf));
      if (got <= 0) break;
      waiting -= got;
      for (int i = 0; i < got; ++i) {
        if (const auto c = m_decoder.Feed(buf[i])) {
          m_totals.Add(*c);
        }
      }
    }
  }
  const sim::SimTotals& Totals() const { return m_totals; }
  Clock::time_point LastBytes() const { return m_lastBytes; }

 private:
  CSerialPort m_port;
  FrameDecoder m_decoder;
  sim::SimTotals m_totals;
  Clock::time_point m_lastBytes = Clock::now();
};

struct SimRunResult {
  std::map<std::string, std::uint64_t> summary;
  sim::SimTotals received;
  int devices = 0;
  Clock::duration longestSilence{};
  int status = -1;
};

// Runs the simulator with a receiver on COM1 (its "device:" line, or path
// when given) until the summary line comes.
SimRunResult RunWithReceiver(const std::vector<std::string>& args, const std::string& path = {}) {
  SimRunResult run;
  SimProcess sim(args);
  const auto first = sim.ReadLine(5s);
  if (!first || first->rfind(kDevice, 0) != 0) {
    ADD_FAILURE() << "no device line: " << first.value_or("(nothing)");
    return run;
  }
  run.devices = 1;
  ::setenv("LINKWATCH_COM1", path.empty() ? first->substr(8).c_str() : path.c_str(), 1);
  Receiver receiver;
  if (!receiver.Open()) {
    ADD_FAILURE() << "cannot open " << first->substr(8);
    return run;
  }
  const auto deadline = Clock::now() + 15s;
  while (Clock::now() < deadline) {
    receiver.Poll();
    const auto silence = Clock::now() - receiver.LastBytes();
    run.longestSilence = std::max(run.longestSilence, silence);
    const auto line = sim.ReadLine(20ms);  // also the pause between polls
    if (!line) continue;
    if (line->rfind(kDevice, 0) == 0) ++run.devices;
    if (line->rfind("summary:", 0) == 0) {
      run.summary = ParseSummary(*line);
      break;
    }
  }
  run.received = receiver.Totals();
  run.status = sim.Wait();
  ::unsetenv("LINKWATCH_COM1");
  return run;
}

void ExpectReceivedAsSummarised(const SimRunResult& run) {
  ASSERT_FALSE(run.summary.empty()) << "no summary line";
  EXPECT_EQ(run.status, 0);
  const sim::SimTotals& r = run.received;
  auto s = run.summary;
  EXPECT_EQ(r.frames, s["frames"]);
  EXPECT_EQ(r.errorFrames, s["error_frames"]);
  EXPECT_EQ(r.packets, s["packets"]);
  EXPECT_EQ(r.ucErr, s["ucerr"]);
  EXPECT_EQ(r.cErr, s["cerr"]);
  EXPECT_EQ(r.syncLoss, s["syncloss"]);
}

TEST(RkvSimProcess, ReceiverDecodesExactlyWhatTheSummaryReports) {
  const SimRunResult run = RunWithReceiver(
      {"--seed",    "7",     "--rate",  "20",     "--duration", "2.5",    "--error-share", "0.5",
       "--noise",   "0.3",   "--cerr",  "262143", "--ucerr",    "65535",  "--syncloss",    "15",
       "--packets", "65535", "--burst", "1:400",  "--gap",      "1.6:0.4"});
  ExpectReceivedAsSummarised(run);
  auto s = run.summary;
  EXPECT_EQ(s["lost_frames"], 0u) << "the reader was there all along";
  EXPECT_GE(s["frames"], 60u) << "20 a second for 2.1 s plus a burst of 45";
  EXPECT_GT(s["error_frames"], 10u);
  EXPECT_GT(s["noise_units"], 5u);
  EXPECT_GE(run.longestSilence, 300ms) << "the 0.4 s gap";
}

TEST(RkvSimProcess, SameSeedSameFrames) {
  const std::vector<std::string> args{"--seed", "9",       "--rate", "100",           "--frames",
                                      "30",     "--noise", "0.5",    "--error-share", "0.5"};
  const SimRunResult a = RunWithReceiver(args);
  const SimRunResult b = RunWithReceiver(args);
  ExpectReceivedAsSummarised(a);
  EXPECT_EQ(a.summary, b.summary);
  EXPECT_EQ(a.summary.at("frames"), 30u);
}

TEST(RkvSimProcess, UnplugGoesQuietAndComesBackBehindTheLink) {
  TempDir dir;
  const std::string link = dir.File("ttyRKV");
  const SimRunResult run = RunWithReceiver(
      {"--seed", "3", "--rate", "30", "--duration", "2.5", "--link", link, "--unplug", "0.8:0.6"},
      link);
  ExpectReceivedAsSummarised(run);
  EXPECT_EQ(run.devices, 2);
  EXPECT_GE(run.longestSilence, 500ms);
  EXPECT_GE(run.received.frames, 45u) << "frames from both ptys";
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(link)))
      << "the link goes with the simulator";
}

// With nobody reading, the pty fills and writes would block: the simulator
// waits without dropping bytes, and still ends at once on SIGTERM.
TEST(RkvSimProcess, EndsPromptlyOnSigtermEvenWhenThePtyIsFull) {
  SimProcess sim({"--burst", "0:30000", "--seed", "1"});
  const auto device = sim.ReadLine(5s);
  ASSERT_TRUE(device && device->rfind(kDevice, 0) == 0) << device.value_or("(nothing)");
  // Opened, never read: its input queue shows the line filling up.
  const UniqueFd slave(
      ::open(device->substr(8).c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
  ASSERT_TRUE(slave.Valid()) << *device;
  const auto queued = [&] {
    int n = 0;
    return ::ioctl(slave.Get(), TIOCINQ, &n) == 0 ? n : -1;
  };
  const auto filling = Clock::now() + 10s;
  while (queued() < 4000 && Clock::now() < filling) ::poll(nullptr, 0, 5);
  ASSERT_GE(queued(), 4000) << "the line's input queue never filled";
  const auto signalled = Clock::now();
  sim.Signal(SIGTERM);
  const auto line = sim.ReadLine(3s);
  ASSERT_TRUE(line.has_value());
  EXPECT_LT(Clock::now() - signalled, 1500ms);
  EXPECT_EQ(sim.Wait(), 0);
  auto s = ParseSummary(*line);
  EXPECT_EQ(s["frames"], 0u) << "nobody read a thing";
  EXPECT_LT(s["bytes"], 30000u) << "the full pty must hold writes back";
  EXPECT_GT(s["bytes"], 4000u);
  EXPECT_EQ(s["lost_frames"], s["bytes"] / 9) << "every complete frame written is accounted for";
}

}  // namespace
}  // namespace linkwatch::testing
