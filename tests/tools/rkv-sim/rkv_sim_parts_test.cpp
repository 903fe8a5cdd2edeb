// The simulator's own logic: its noise must never be taken for a frame, and
// its summary must count exactly the frames a reader could have decoded.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "acquire/frame_decoder.h"
#include "frame_source.h"
#include "send_queue.h"
#include "sim_options.h"

namespace linkwatch::testing {
namespace {

using sim::SimTotals;

TEST(RkvSimSource, NoiseNeverAddsOrSpoilsAFrame) {
  sim::SimOptions options;
  options.noise = 1.0;  // noise before every frame
  options.errorShare = 0.5;
  options.cErrMax = sim::kMaxCErr;
  options.syncLossMax = sim::kMaxSyncLoss;
  sim::FrameSource source(options, 11);
  std::vector<std::uint8_t> stream;
  SimTotals sent;
  int truncated = 0;
  int stray = 0;
  for (int i = 0; i < 3000; ++i) {
    for (const sim::StreamUnit& unit : source.Next()) {
      stream.insert(stream.end(), unit.bytes.begin(), unit.bytes.end());
      if (unit.frame) {
        sent.Add(*unit.frame);
      } else {
        ((unit.bytes.front() & 0x80) != 0 ? truncated : stray) += 1;
      }
    }
  }
  EXPECT_EQ(truncated + stray, 3000);
  EXPECT_GT(truncated, 1000);
  EXPECT_GT(stray, 1000);

  FrameDecoder decoder;
  SimTotals decoded;
  for (std::uint8_t b : stream) {
    if (const auto c = decoder.Feed(b)) decoded.Add(*c);
  }
  EXPECT_EQ(decoded, sent);
  EXPECT_GT(sent.errorFrames, 1000u);
}

TEST(RkvSimSource, SameSeedSameStream) {
  sim::SimOptions options;
  options.noise = 0.5;
  sim::FrameSource a(options, 3);
  sim::FrameSource b(options, 3);
  for (int i = 0; i < 100; ++i) {
    const auto ua = a.Next();
    const auto ub = b.Next();
    ASSERT_EQ(ua.size(), ub.size());
    for (std::size_t j = 0; j < ua.size(); ++j) EXPECT_EQ(ua[j].bytes, ub[j].bytes);
  }
}

sim::StreamUnit FrameUnit(std::uint32_t packets, std::uint32_t cErr = 0) {
  const FrameCounts f{packets, 0, cErr, 0};
  const sim::FrameBytes b = sim::EncodeFrame(f);
  return {{b.begin(), b.end()}, f};
}

TEST(RkvSimSendQueue, CountsAFrameOnlyOnceItsLastByteIsOutAndUncountsWhatWasNeverRead) {
  sim::SendQueue q;
  q.Push({{0x01, 0x02, 0x03}, std::nullopt});
  q.Push(FrameUnit(10, 1));  // bytes 3..11
  q.Push(FrameUnit(20));     // bytes 12..20

  q.Written(3 + 8);
  EXPECT_EQ(q.Summary().noiseUnits, 1u);
  EXPECT_EQ(q.Summary().delivered.frames, 0u) << "one byte of the frame is still to go";
  q.Written(1 + 4);
  EXPECT_EQ(q.Summary().delivered, (SimTotals{1, 1, 10, 0, 1, 0}));
  q.Written(100);  // more than is queued: only what is there
  EXPECT_EQ(q.Summary().bytes, 21u);
  EXPECT_EQ(q.Summary().delivered.frames, 2u);

  // The reader took all but the last 9 bytes: exactly the second frame.
  q.Unread(9);
  EXPECT_EQ(q.Summary().delivered, (SimTotals{1, 1, 10, 0, 1, 0}));
  EXPECT_EQ(q.Summary().lost.frames, 1u);
  EXPECT_EQ(q.Summary().lost.packets, 20u);
  // One more byte unread: the first frame never completed at the reader either.
  q.Unread(10);
  EXPECT_EQ(q.Summary().delivered, SimTotals{});
  EXPECT_EQ(q.Summary().lost.frames, 2u);
}

TEST(RkvSimSendQueue, DroppedRestOfAFrameNeverCounts) {
  sim::SendQueue q;
  q.Push(FrameUnit(10));
  q.Written(4);
  q.DropPending();
  EXPECT_EQ(q.Size(), 0u);
  q.Push(FrameUnit(20));
  EXPECT_EQ(q.Pending().front() & 0x80, 0x80) << "the next line starts on a sync byte";
  q.Written(9);
  EXPECT_EQ(q.Summary().delivered, (SimTotals{1, 0, 20, 0, 0, 0}));
  EXPECT_EQ(q.Summary().bytes, 13u);
}

struct ArgsCase {
  std::vector<std::string> args;
  bool ok;
};

TEST(RkvSimOptions, AcceptsOnlyValuesInRange) {
  const ArgsCase cases[] = {
      {{"--rate", "106"}, true},
      {{"--rate", "106.5"}, false},
      {{"--rate", "0"}, false},
      {{"--rate=2.5"}, true},
      {{"--rate"}, false},
      {{"--error-share", "1.01"}, false},
      {{"--noise", "-0.1"}, false},
      {{"--syncloss", "15"}, true},
      {{"--syncloss", "16"}, false},
      {{"--cerr", "262143"}, true},
      {{"--cerr", "262144"}, false},
      {{"--ucerr", "65536"}, false},
      {{"--packets", "65535"}, true},
      {{"--frames", "12x"}, false},
      {{"--gap", "3"}, false},
      {{"--gap", "3:0"}, false},
      {{"--burst", "2:-5"}, false},
      {{"--burst", "2:1048576"}, true},
      {{"--burst", "2:1048577"}, false},
      {{"--burst", "0:1e10"}, false},
      {{"--unplug", "1.5:2"}, true},
      {{"--duration", "0"}, false},
      {{"--device", "/dev/ttyS1", "--unplug", "1:1"}, false},
      {{"--device", "/dev/ttyS1", "--link", "/tmp/x"}, false},
      {{"--error-share", "0.5", "--ucerr", "0", "--cerr", "0", "--syncloss", "0"}, false},
      {{"--error-share", "0", "--ucerr", "0", "--cerr", "0", "--syncloss", "0"}, true},
      {{"--bogus", "1"}, false},
  };
  for (const ArgsCase& c : cases) {
    const sim::ParsedArgs p = sim::ParseSimArgs(c.args);
    EXPECT_EQ(p.error.empty(), c.ok) << ::testing::PrintToString(c.args) << ": " << p.error;
  }
}

// A refusal names what was wrong, so that the user can mend it.
TEST(RkvSimOptions, RefusalsSayWhatWasWrong) {
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{"--burst", "0:1e10"},
       "bad value for --burst: '0:1e10' (AT:BYTES, AT from 0, BYTES from 1 to 1048576)"},
      {{"--rate", "5", "stray"}, "unexpected argument 'stray'"},
      {{"--bogus", "1"}, "unknown option --bogus"},
  };
  for (const auto& [args, error] : cases) {
    EXPECT_EQ(sim::ParseSimArgs(args).error, error) << ::testing::PrintToString(args);
  }
}

TEST(RkvSimOptions, ReadsEveryOption) {
  const sim::ParsedArgs p =
      sim::ParseSimArgs({"--link",     "/tmp/rkv",  "--rate",   "20",      "--error-share=0.25",
                         "--ucerr",    "7",         "--cerr",   "8",       "--syncloss",
                         "9",          "--packets", "300",      "--noise", "0.5",
                         "--gap",      "3:2",       "--gap",    "10:0.5",  "--burst",
                         "4:1000",     "--unplug",  "6:1.5",    "--seed",  "99",
                         "--duration", "30",        "--frames", "500"});
  ASSERT_EQ(p.error, "");
  const sim::SimOptions& o = p.options;
  EXPECT_EQ(o.link, "/tmp/rkv");
  EXPECT_EQ(o.rate, 20.0);
  EXPECT_EQ(o.errorShare, 0.25);
  EXPECT_EQ(o.ucErrMax, 7u);
  EXPECT_EQ(o.cErrMax, 8u);
  EXPECT_EQ(o.syncLossMax, 9u);
  EXPECT_EQ(o.packets, 300u);
  EXPECT_EQ(o.noise, 0.5);
  ASSERT_EQ(o.gaps.size(), 2u);
  EXPECT_EQ(o.gaps[1].at, 10.0);
  EXPECT_EQ(o.gaps[1].value, 0.5);
  ASSERT_EQ(o.bursts.size(), 1u);
  EXPECT_EQ(o.bursts[0].value, 1000.0);
  ASSERT_EQ(o.unplugs.size(), 1u);
  EXPECT_EQ(o.unplugs[0].value, 1.5);
  EXPECT_EQ(o.seed, 99u);
  EXPECT_EQ(o.duration, 30.0);
  EXPECT_EQ(o.frames, 500u);
}

}  // namespace
}  // namespace linkwatch::testing
