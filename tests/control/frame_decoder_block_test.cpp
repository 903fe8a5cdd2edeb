// FeedBlock against Feed byte by byte, and DecodeFrames over the ring.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "acquire/frame_decoder.h"
#include "control/monitor_dlg.h"
#include "control/resource.h"
#include "fake_platform.h"
#include "fake_serial.h"

namespace linkwatch {

void PrintTo(const FrameCounts& c, std::ostream* os) {
  *os << "{packets " << c.packets << ", ucErr " << c.ucErr << ", cErr " << c.cErr << ", syncLoss "
      << c.syncLoss << "}";
}

void PrintTo(const Totals& t, std::ostream* os) {
  *os << "{packets " << t.packets << ", ucErr " << t.ucErr << ", cErr " << t.cErr << ", syncLoss "
      << t.syncLoss << "}";
}

namespace {

using Bytes = std::vector<std::uint8_t>;

// The wire bytes of a frame; `junk` fills the bits that carry nothing.
Bytes Encode(const FrameCounts& c, unsigned junk = 0) {
  const auto j = [&](int shift) {
    return static_cast<std::uint8_t>(((junk >> shift) & 0x7u) << 4);
  };
  return {
      static_cast<std::uint8_t>(0x80u | j(0) | (c.cErr >> 14 & 0x0Fu)),
      static_cast<std::uint8_t>(c.cErr >> 7 & 0x7Fu),
      static_cast<std::uint8_t>(c.cErr & 0x7Fu),
      static_cast<std::uint8_t>(c.ucErr >> 7 & 0x7Fu),
      static_cast<std::uint8_t>(c.ucErr & 0x7Fu),
      static_cast<std::uint8_t>(j(3) | (c.ucErr >> 14 & 0x3u) << 2 | (c.packets >> 14 & 0x3u)),
      static_cast<std::uint8_t>(c.packets >> 7 & 0x7Fu),
      static_cast<std::uint8_t>(c.packets & 0x7Fu),
      static_cast<std::uint8_t>(j(6) | (c.syncLoss & 0x0Fu)),
  };
}

FrameCounts RandomCounts(std::mt19937& rng) {
  std::uniform_int_distribution<std::uint32_t> any(0, 0xFFFFFFFFu);
  FrameCounts c{any(rng) & 0xFFFFu, any(rng) & 0xFFFFu, any(rng) & 0x3FFFFu, any(rng) & 0xFu};
  if (any(rng) % 3 == 0) c.ucErr = c.cErr = c.syncLoss = 0;  // a clean frame
  return c;
}

// A stream of whole frames mixed with everything that can go wrong on the
// line: frames cut short, lone sync bytes, bytes trailing a frame, noise.
Bytes RandomStream(std::mt19937& rng, std::size_t size) {
  Bytes out;
  std::uniform_int_distribution<int> pick(0, 99);
  std::uniform_int_distribution<int> byte(0, 255);
  std::uniform_int_distribution<int> low(0, 127);
  while (out.size() < size) {
    const int kind = pick(rng);
    Bytes frame = Encode(RandomCounts(rng), static_cast<unsigned>(byte(rng)) * 2);
    if (kind < 50) {
      out.insert(out.end(), frame.begin(), frame.end());
    } else if (kind < 65) {
      const int keep = 1 + pick(rng) % 8;
      out.insert(out.end(), frame.begin(), frame.begin() + keep);
    } else if (kind < 80) {
      for (int i = 1 + pick(rng) % 12; i > 0; --i)
        out.push_back(static_cast<std::uint8_t>(low(rng)));
    } else if (kind < 90) {
      for (int i = 1 + pick(rng) % 6; i > 0; --i)
        out.push_back(static_cast<std::uint8_t>(byte(rng)));
    } else {
      out.push_back(static_cast<std::uint8_t>(0x80 | byte(rng)));
    }
  }
  return out;
}

// Block sizes that favour the awkward ones: empty, single bytes, a frame or
// so, and now and then a long run.
std::vector<std::size_t> RandomSplit(std::mt19937& rng, std::size_t total) {
  std::vector<std::size_t> sizes;
  std::uniform_int_distribution<int> pick(0, 99);
  std::size_t done = 0;
  while (done < total) {
    const int kind = pick(rng);
    std::size_t n = kind < 10   ? 0
                    : kind < 30 ? 1
                    : kind < 80 ? 2 + static_cast<std::size_t>(pick(rng) % 29)
                                : 31 + static_cast<std::size_t>(pick(rng)) * 3;
    n = std::min(n, total - done);
    sizes.push_back(n);
    done += n;
  }
  return sizes;
}

// What a frame callout saw: the frame, and the decoder as it stood then.
struct Callout {
  FrameCounts counts;
  FrameDecoder state;
  friend bool operator==(const Callout&, const Callout&) = default;
};

// A callout may feed the decoder itself; these bytes go in after every third
// frame when `meddle` is set. They leave a frame half done.
constexpr std::array<std::uint8_t, 4> kMeddle{0x85, 0x01, 0x7F, 0x02};

struct Decoded {
  std::vector<Callout> callouts;
  FrameDecoder final;
};

Decoded ByteByByte(const Bytes& in, bool meddle) {
  Decoded run;
  FrameDecoder d;
  for (std::uint8_t b : in) {
    if (const auto c = d.Feed(b)) {
      run.callouts.push_back({*c, d});
      if (meddle && run.callouts.size() % 3 == 0) {
        for (std::uint8_t m : kMeddle) d.Feed(m);
      }
    }
  }
  run.final = d;
  return run;
}

Decoded InBlocks(const Bytes& in, const std::vector<std::size_t>& sizes, bool meddle) {
  Decoded run;
  FrameDecoder d;
  std::size_t at = 0;
  for (std::size_t n : sizes) {
    d.FeedBlock(in.data() + at, n, [&](const FrameCounts& c) {
      run.callouts.push_back({c, d});
      if (meddle && run.callouts.size() % 3 == 0) {
        for (std::uint8_t m : kMeddle) d.Feed(m);
      }
    });
    at += n;
  }
  run.final = d;
  return run;
}

TEST(FrameDecoderBlock, MatchesByteByByteOnRandomStreamsInRandomBlocks) {
  std::mt19937 rng(20240611);
  for (const bool meddle : {false, true}) {
    for (int round = 0; round < 4; ++round) {
      SCOPED_TRACE(::testing::Message() << "meddle " << meddle << ", round " << round);
      const Bytes in = RandomStream(rng, 100000);
      const std::vector<std::size_t> sizes =
          round == 0 ? std::vector<std::size_t>{in.size()} : RandomSplit(rng, in.size());
      const Decoded want = ByteByByte(in, meddle);
      const Decoded got = InBlocks(in, sizes, meddle);
      // Catch a generator that stopped making frames: the comparison would be empty.
      ASSERT_GT(want.callouts.size(), 4000u);
      ASSERT_EQ(got.callouts.size(), want.callouts.size());
      for (std::size_t i = 0; i < want.callouts.size(); ++i) {
        ASSERT_EQ(got.callouts[i].counts, want.callouts[i].counts) << "frame " << i;
        ASSERT_TRUE(got.callouts[i].state == want.callouts[i].state) << "decoder at frame " << i;
      }
      EXPECT_TRUE(got.final == want.final);
    }
  }
}

struct KnownFrame {
  Bytes bytes;
  FrameCounts want;
};

// Frames whose counts are worked out by hand, each decoded whole in one block
// and byte by byte.
TEST(FrameDecoderBlock, DecodesKnownFramesWholeAndByteByByte) {
  const KnownFrame cases[] = {
      {{0x80, 0x00, 0x05, 0x00, 0x00, 0x00, 0x07, 0x68, 0x00}, {1000, 0, 5, 0}},
      {{0x8F, 0x7F, 0x7F, 0x7F, 0x7F, 0x0F, 0x7F, 0x7F, 0x0F}, {65535, 65535, 262143, 15}},
      {{0x8A, 0x15, 0x2A, 0x33, 0x44, 0x06, 0x55, 0x66, 0x0B}, {43750, 22980, 166570, 11}},
      // The bits that carry nothing change nothing.
      {{0xF0, 0x00, 0x05, 0x00, 0x00, 0x70, 0x07, 0x68, 0x70}, {1000, 0, 5, 0}},
  };
  for (const KnownFrame& k : cases) {
    std::vector<FrameCounts> whole;
    FrameDecoder block;
    block.FeedBlock(k.bytes.data(), k.bytes.size(),
                    [&](const FrameCounts& c) { whole.push_back(c); });
    EXPECT_EQ(whole, std::vector<FrameCounts>{k.want});

    std::vector<FrameCounts> single;
    FrameDecoder bytes;
    for (std::uint8_t b : k.bytes) {
      if (const auto c = bytes.Feed(b)) single.push_back(*c);
    }
    EXPECT_EQ(single, std::vector<FrameCounts>{k.want});
  }
}

// Bytes that come before the frame in the first block, and how many frames
// the whole input holds.
struct SplitCase {
  const char* name;
  Bytes before;
  std::size_t wantFrames;
};

TEST(FrameDecoderBlock, FrameSplitAtEveryPositionAcrossTwoBlocks) {
  const FrameCounts counts{43750, 22980, 166570, 11};
  const Bytes frame = Encode(counts, 0x1FF);
  const SplitCase cases[] = {
      {"from idle", {}, 1},
      {"after a whole frame and trailing bytes", {0x80, 0, 0, 0, 0, 0, 0, 1, 0, 0x11, 0x22}, 2},
      {"cutting a frame short", {0x81, 0x01, 0x02, 0x03, 0x04}, 1},
  };
  for (const SplitCase& sc : cases) {
    Bytes in = sc.before;
    const std::size_t frameAt = in.size();
    in.insert(in.end(), frame.begin(), frame.end());
    for (std::size_t cut = frameAt; cut <= in.size(); ++cut) {
      SCOPED_TRACE(::testing::Message() << sc.name << ", cut after " << cut - frameAt << " bytes");
      std::vector<FrameCounts> got;
      FrameDecoder d;
      const auto collect = [&](const FrameCounts& c) { got.push_back(c); };
      d.FeedBlock(in.data(), cut, collect);
      d.FeedBlock(in.data() + cut, in.size() - cut, collect);
      ASSERT_FALSE(got.empty());
      EXPECT_EQ(got.back(), counts);
      EXPECT_EQ(got.size(), sc.wantFrames);
      EXPECT_TRUE(d == ByteByByte(in, false).final);
    }
  }
}

// Broken frames and stray bytes, fed as one block so the fast path sees them.
TEST(FrameDecoderBlock, BrokenFramesAndStrayBytesMakeNoFrame) {
  const struct {
    const char* name;
    Bytes bytes;
    std::size_t wantFrames;
  } cases[] = {
      {"sync byte as the 5th byte, then 4 bytes", {0x80, 0, 5, 0, 0x80, 0, 0, 7, 0x68}, 0},
      {"eight bytes", {0x80, 0, 5, 0, 0, 0, 7, 0x68}, 0},
      {"payload bytes before any sync byte", {0, 5, 0, 0, 0, 7, 0x68, 0, 1, 2, 3}, 0},
      {"9 more bytes after a frame",
       {0x80, 0, 5, 0, 0, 0, 7, 0x68, 0, 0, 5, 0, 0, 0, 7, 0x68, 0, 1},
       1},
  };
  for (const auto& c : cases) {
    std::vector<FrameCounts> got;
    FrameDecoder d;
    d.FeedBlock(c.bytes.data(), c.bytes.size(), [&](const FrameCounts& f) { got.push_back(f); });
    EXPECT_EQ(got.size(), c.wantFrames) << c.name;
    EXPECT_TRUE(d == ByteByByte(c.bytes, false).final) << c.name;
  }
}

// The offset handed to a two-argument callout is just past the frame's last byte.
TEST(FrameDecoderBlock, TellsWhereEachFrameEnds) {
  Bytes in = {0x33, 0x81, 0x02};  // noise, then a frame cut short
  const Bytes a = Encode({7, 1, 0, 0});
  const Bytes b = Encode({9, 0, 0, 2});
  in.insert(in.end(), a.begin(), a.end());
  in.push_back(0x10);
  in.insert(in.end(), b.begin(), b.end());
  std::vector<std::size_t> ends;
  FrameDecoder d;
  d.FeedBlock(in.data(), in.size(),
              [&](const FrameCounts&, std::size_t end) { ends.push_back(end); });
  EXPECT_EQ(ends, (std::vector<std::size_t>{12, 22}));

  // A frame finished by the first byte of the next block ends at offset 1.
  ends.clear();
  FrameDecoder split;
  split.FeedBlock(a.data(), 8, [&](const FrameCounts&, std::size_t end) { ends.push_back(end); });
  split.FeedBlock(a.data() + 8, 1,
                  [&](const FrameCounts&, std::size_t end) { ends.push_back(end); });
  EXPECT_EQ(ends, std::vector<std::size_t>{1});
}

// The dialog with its ring opened up, filled as the link poll fills it.
class RingDlg : public CMonitorDlg {
 public:
  using CMonitorDlg::CMonitorDlg;

  void SetRingPos(int pos) { m_pRead = m_pWrite = m_RxRing.data() + pos; }
  void Store(const std::uint8_t* p, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) {
      *m_pWrite = p[i];
      m_pWrite = RingAdvance(m_RxRing, m_pWrite, 1);
    }
  }
};

// Notes, for every text handed to the log, where the decoder stood and what
// the totals were at that moment.
class WatchingPlatform : public testing::FakePlatform {
 public:
  struct Seen {
    std::string text;
    int readPos;
    Totals totals;
  };
  void LogText(std::string_view text) override {
    seen.push_back({std::string(text), dlg->ReadPos(), dlg->CurrentTotals()});
  }

  const CMonitorDlg* dlg = nullptr;
  std::vector<Seen> seen;
};

class DecodeFramesTest : public ::testing::Test {
 protected:
  void SetUp() override { platform.dlg = &dlg; }

  WatchingPlatform platform;
  testing::FakeSerial serial;
  RingDlg dlg{platform, serial};
};

TEST_F(DecodeFramesTest, FrameAcrossTheRingEndIsDecodedAndEachRowSeesItsOwnTotals) {
  const Bytes a = Encode({1000, 0, 5, 0});
  const Bytes b = Encode({20, 3, 0, 1});
  Bytes in = a;
  in.insert(in.end(), b.begin(), b.end());
  dlg.SetRingPos(58);  // a's last 3 bytes and all of b lie past the ring's end
  dlg.Store(in.data(), in.size());

  dlg.DecodeFrames();

  EXPECT_EQ(dlg.ReadPos(), dlg.WritePos());
  ASSERT_EQ(platform.seen.size(), 2u);
  EXPECT_EQ(platform.seen[0].readPos, 3);
  EXPECT_EQ(platform.seen[0].totals, (Totals{1000, 0, 5, 0}));
  EXPECT_EQ(platform.seen[1].readPos, 12);
  EXPECT_EQ(platform.seen[1].totals, (Totals{1020, 3, 5, 1}));
  EXPECT_EQ(dlg.Results().Count(), 2u);
}

// The ring filled in rounds of random size, as the poll fills it, each round
// decoded at once; checked against the decoder fed byte by byte.
TEST_F(DecodeFramesTest, RandomStreamThroughTheRingMatchesByteByByte) {
  std::mt19937 rng(77);
  const Bytes in = RandomStream(rng, 60000);
  std::uniform_int_distribution<int> roundSize(1, kRxRingCapacity);
  const int startPos = 41;

  struct Want {
    int readPos;
    Totals totals;
    bool header;
  };
  std::vector<Want> want;
  FrameDecoder ref;
  Totals totals;
  int errorRows = 0;
  int pos = startPos;
  for (std::uint8_t byte : in) {
    pos = (pos + 1) % static_cast<int>(kRxRingSize);
    const auto c = ref.Feed(byte);
    if (!c) continue;
    totals.packets += c->packets;
    if (c->HasErrors()) {
      totals.ucErr += c->ucErr;
      totals.cErr += c->cErr;
      totals.syncLoss += c->syncLoss;
      want.push_back({pos, totals, false});
      if (++errorRows == 50) {
        want.push_back({pos, totals, true});
        errorRows = 0;
      }
    }
  }
  ASSERT_GT(want.size(), 500u);

  dlg.SetRingPos(startPos);
  for (std::size_t at = 0; at < in.size();) {
    const std::size_t n = std::min(in.size() - at, static_cast<std::size_t>(roundSize(rng)));
    dlg.Store(in.data() + at, n);
    at += n;
    dlg.DecodeFrames();
    ASSERT_EQ(dlg.ReadPos(), dlg.WritePos()) << "after byte " << at;
  }

  const std::string header(LoadString(IDS_LOG_HEADER_REPEAT));
  ASSERT_EQ(platform.seen.size(), want.size());
  for (std::size_t i = 0; i < want.size(); ++i) {
    EXPECT_EQ(platform.seen[i].readPos, want[i].readPos) << "line " << i;
    EXPECT_EQ(platform.seen[i].totals, want[i].totals) << "line " << i;
    EXPECT_EQ(platform.seen[i].text == header, want[i].header) << "line " << i;
  }
  EXPECT_EQ(dlg.CurrentTotals(), totals);
  EXPECT_EQ(dlg.ErrorRows(), errorRows);
}

}  // namespace
}  // namespace linkwatch
