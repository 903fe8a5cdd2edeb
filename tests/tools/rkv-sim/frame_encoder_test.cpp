#include "frame_encoder.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "acquire/frame_decoder.h"
#include "control/monitor_dlg.h"
#include "fake_platform.h"
#include "fake_serial.h"
#include "frame_source.h"
#include "temp_dir.h"

namespace linkwatch::testing {
namespace {

using sim::EncodeFrame;
using sim::FrameBytes;

struct KnownFrame {
  FrameCounts fields;
  FrameBytes bytes;
};

// The instrument's own examples, byte for byte.
TEST(FrameEncoder, MatchesKnownFrames) {
  const KnownFrame known[] = {
      {{1000, 0, 5, 0}, {0x80, 0x00, 0x05, 0x00, 0x00, 0x00, 0x07, 0x68, 0x00}},
      {{65535, 65535, 262143, 15}, {0x8F, 0x7F, 0x7F, 0x7F, 0x7F, 0x0F, 0x7F, 0x7F, 0x0F}},
      {{43750, 22980, 166570, 11}, {0x8A, 0x15, 0x2A, 0x33, 0x44, 0x06, 0x55, 0x66, 0x0B}},
  };
  for (const KnownFrame& k : known) EXPECT_EQ(EncodeFrame(k.fields), k.bytes);
}

TEST(FrameEncoder, RoundTripsThroughTheDecoderWhateverTheUnusedBits) {
  std::mt19937 rng(1);
  const auto upTo = [&rng](std::uint32_t max) {
    return static_cast<std::uint32_t>(rng() % (max + 1u));
  };
  FrameDecoder decoder;
  for (int i = 0; i < 2000; ++i) {
    const FrameCounts f{upTo(sim::kMaxPackets), upTo(sim::kMaxUcErr), upTo(sim::kMaxCErr),
                        upTo(sim::kMaxSyncLoss)};
    const FrameBytes bytes = EncodeFrame(f, static_cast<std::uint8_t>(rng()));
    EXPECT_NE(bytes[0] & 0x80, 0);
    std::optional<FrameCounts> got;
    for (std::size_t j = 0; j < bytes.size(); ++j) {
      if (j > 0) {
        EXPECT_EQ(bytes[j] & 0x80, 0);
      }
      got = decoder.Feed(bytes[j]);
    }
    ASSERT_TRUE(got.has_value());
    EXPECT_EQ(*got, f);
  }
}

// Ten seconds of the line's worth, all waiting at once, as after the window
// was held up: one poll must take and count all of it.
TEST(FrameEncoder, TenThousandByteBacklogIsDecodedInOnePoll) {
  sim::SimOptions options;
  options.errorShare = 0.3;
  options.noise = 0.2;
  sim::FrameSource source(options, 5);
  FakeSerial serial;
  Totals expected;
  int frames = 0;
  while (serial.queue.size() < 10000) {
    for (const sim::StreamUnit& unit : source.Next()) {
      serial.Push(unit.bytes);
      if (!unit.frame) continue;
      ++frames;
      expected.packets += unit.frame->packets;
      expected.ucErr += unit.frame->ucErr;
      expected.cErr += unit.frame->cErr;
      expected.syncLoss += unit.frame->syncLoss;
    }
  }
  ASSERT_GT(frames, 900);
  ASSERT_GT(expected.cErr, 0);

  TempDir dir;
  FakePlatform platform;
  CMonitorDlg dlg(platform, serial);
  dlg.OnInitDialog();
  dlg.SetLogPath(dir.File("results.txt"));
  dlg.OnStart();
  ASSERT_TRUE(dlg.IsRunning());
  dlg.PollLink();
  EXPECT_TRUE(serial.queue.empty());
  EXPECT_EQ(dlg.CurrentTotals(), expected);
}

}  // namespace
}  // namespace linkwatch::testing
