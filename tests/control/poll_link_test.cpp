#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "dlg_fixture.h"

namespace linkwatch::testing {
namespace {

using Kind = TableRow::Kind;
using Bytes = std::vector<std::uint8_t>;

class PollTest : public DlgTest {
 protected:
  void SetUp() override {
    DlgTest::SetUp();
    Start();
  }
  // Rows added since the start row, oldest first.
  std::vector<Kind> NewRows() const {
    std::vector<Kind> kinds = RowKinds();
    kinds.pop_back();
    return {kinds.rbegin(), kinds.rend()};
  }
};

struct WatchCase {
  const char* name;
  std::string ticks;  // per tick: '.' quiet, 'b' bytes without errors, 'e' an error frame
  std::vector<Kind> rows;
  int missedTicks;
};

class LinkWatchTest : public PollTest, public ::testing::WithParamInterface<WatchCase> {};

TEST_P(LinkWatchTest, Rows) {
  const WatchCase& c = GetParam();
  for (char t : c.ticks) {
    if (t == 'b') serial.Push(EncodeFrame({10, 0, 0, 0}));
    if (t == 'e') serial.Push(EncodeFrame({10, 1, 0, 0}));
    dlg.PollLink();
  }
  EXPECT_EQ(NewRows(), c.rows);
  EXPECT_EQ(dlg.MissedTicks(), c.missedTicks);
}

INSTANTIATE_TEST_SUITE_P(
    Ticks, LinkWatchTest,
    ::testing::Values(
        WatchCase{"SilentFromTheStart", ".", {}, 1},
        WatchCase{"LostOnSecondQuietTickOnce", "......", {Kind::Lost}, 3},
        WatchCase{"SingleQuietTickAddsNothing", "b.b.b", {}, 0},
        WatchCase{
            "BackRowBeforeTheFramesItBrings", "..e", {Kind::Lost, Kind::Back, Kind::Result}, 0},
        WatchCase{
            "LostAgainAfterTwoMoreQuietTicks", "..b..", {Kind::Lost, Kind::Back, Kind::Lost}, 3},
        WatchCase{"BytesKeepTheLinkUp", "bbbbbe", {Kind::Result}, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PollTest, StatusRowsShowTheTimeThePollBegan) {
  const Seconds begin = platform.now;
  serial.onBytesWaiting = [&] { platform.now += 1; };  // the port is slow to answer
  dlg.PollLink();
  dlg.PollLink();  // begins at begin + 1: lost
  serial.Push(EncodeFrame({10, 0, 0, 0}));
  dlg.PollLink();  // begins at begin + 2: back
  ASSERT_EQ(NewRows(), (std::vector<Kind>{Kind::Lost, Kind::Back}));
  EXPECT_EQ(dlg.Results().At(1).Time(), begin + 1) << "the loss";
  EXPECT_EQ(dlg.Results().At(0).Time(), begin + 2) << "the return";
}

struct RingCase {
  int writePos;
  int bytes;
  std::vector<int> reads;
  int endPos;
};

TEST_F(PollTest, RingWritesStopAtTheLastByte) {
  const RingCase cases[] = {
      {60, 3, {3}, 63},  {60, 4, {4}, 0},  {60, 5, {4, 1}, 1},  {63, 1, {1}, 0},
      {0, 63, {63}, 63}, {1, 63, {63}, 0}, {2, 63, {62, 1}, 1},
  };
  for (const RingCase& c : cases) {
    dlg.SetRingPos(c.writePos);
    serial.reads.clear();
    serial.Push(Bytes(static_cast<std::size_t>(c.bytes), 0x01));
    dlg.PollLink();
    EXPECT_EQ(serial.reads, c.reads) << c.writePos << "+" << c.bytes;
    EXPECT_EQ(dlg.WritePos(), c.endPos) << c.writePos << "+" << c.bytes;
    EXPECT_EQ(dlg.ReadPos(), dlg.WritePos());
  }
}

// A stream of random frames and noise, and what it carries.
struct Stream {
  Bytes bytes;
  Totals totals;
  std::size_t errorFrames = 0;
};

Stream MakeStream(std::size_t minBytes, unsigned seed) {
  std::mt19937 rng(seed);
  Stream s;
  while (s.bytes.size() < minBytes) {
    if (rng() % 10 == 0) {
      s.bytes.push_back(static_cast<std::uint8_t>(rng() % 0x80));  // noise between frames
      continue;
    }
    const FrameCounts f{static_cast<std::uint32_t>(rng() % 65536),
                        rng() % 4 == 0 ? static_cast<std::uint32_t>(rng() % 65536) : 0,
                        rng() % 4 == 0 ? static_cast<std::uint32_t>(rng() % 262144) : 0,
                        rng() % 8 == 0 ? static_cast<std::uint32_t>(rng() % 16) : 0};
    const Bytes b = EncodeFrame(f);
    s.bytes.insert(s.bytes.end(), b.begin(), b.end());
    s.totals.packets += f.packets;
    if (f.HasErrors()) {
      s.totals.ucErr += f.ucErr;
      s.totals.cErr += f.cErr;
      s.totals.syncLoss += f.syncLoss;
      ++s.errorFrames;
    }
  }
  return s;
}

TEST_F(PollTest, FullInputQueueIsTakenInOneTick) {
  const Stream s = MakeStream(10000, 7);
  serial.Push(s.bytes);
  dlg.SetRingPos(37);
  dlg.PollLink();
  EXPECT_TRUE(serial.queue.empty());
  EXPECT_EQ(dlg.CurrentTotals(), s.totals);
  EXPECT_EQ(dlg.Results().Count(), s.errorFrames + 1);
  for (int n : serial.reads) EXPECT_LE(n, 63);
  EXPECT_EQ(dlg.ReadPos(), dlg.WritePos());
}

TEST_F(PollTest, ShortReadsMoveTheWritePositionByWhatArrived) {
  const Stream s = MakeStream(2000, 11);
  serial.Push(s.bytes);
  serial.shortReadBy = 5;  // every read delivers 5 bytes fewer than asked
  for (int tick = 0; tick < 200 && !serial.queue.empty(); ++tick) dlg.PollLink();
  serial.shortReadBy = 0;
  dlg.PollLink();
  EXPECT_TRUE(serial.queue.empty());
  EXPECT_EQ(dlg.CurrentTotals(), s.totals);  // nothing lost, nothing decoded twice
  EXPECT_EQ(dlg.ReadPos(), dlg.WritePos());
}

// The first bytes after a quiet tick, or of a new test, never finish a frame
// that was cut short before it.
TEST_F(PollTest, CutFrameIsNotSplicedOntoLaterBytes) {
  const Bytes cut = EncodeFrame({0, 0, 5000, 0});
  const Bytes later = EncodeFrame({0, 0, 0, 0});
  serial.Push(Bytes(cut.begin(), cut.begin() + 4));
  dlg.PollLink();
  dlg.PollLink();  // quiet: the cable was pulled
  serial.Push(Bytes(later.begin() + 4, later.end()));
  dlg.PollLink();
  EXPECT_EQ(dlg.CurrentTotals(), Totals{});

  serial.Push(Bytes(cut.begin(), cut.begin() + 4));
  dlg.PollLink();
  dlg.StopTest();
  platform.Answer(BoxAnswer::Yes);  // overwrite the log
  dlg.OnStart();
  serial.Push(Bytes(later.begin() + 4, later.end()));
  dlg.PollLink();
  EXPECT_EQ(dlg.CurrentTotals(), Totals{});
  EXPECT_EQ(dlg.Results().Count(), 1u);
}

TEST_F(PollTest, ClosedPortCountsAsQuiet) {
  serial.Close();
  dlg.PollLink();
  dlg.PollLink();
  EXPECT_EQ(NewRows(), std::vector<Kind>{Kind::Lost});
}

}  // namespace
}  // namespace linkwatch::testing
