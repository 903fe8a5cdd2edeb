#include <string>
#include <vector>

#include "control/resource.h"
#include "dlg_fixture.h"

namespace linkwatch::testing {
namespace {

using Bytes = std::vector<std::uint8_t>;

const Bytes kExample{0x80, 0x00, 0x05, 0x00, 0x00, 0x00, 0x07, 0x68, 0x00};

struct DecodeCase {
  const char* name;
  Bytes bytes;
  Totals totals;
  std::size_t rows;
};

class DecodeTest : public DlgTest, public ::testing::WithParamInterface<DecodeCase> {};

TEST_P(DecodeTest, TotalsAndRows) {
  const DecodeCase& c = GetParam();
  Init();
  dlg.Decode(c.bytes);
  EXPECT_EQ(dlg.CurrentTotals(), c.totals);
  EXPECT_EQ(dlg.Results().Count(), c.rows);
  EXPECT_EQ(dlg.ErrorRows(), static_cast<int>(c.rows));
  EXPECT_EQ(dlg.ReadPos(), dlg.WritePos());
}

INSTANTIATE_TEST_SUITE_P(
    Frames, DecodeTest,
    ::testing::Values(
        DecodeCase{"Example", kExample, {1000, 0, 5, 0}, 1},
        DecodeCase{"LargestValues",
                   {0x8F, 0x7F, 0x7F, 0x7F, 0x7F, 0x0F, 0x7F, 0x7F, 0x0F},
                   {65535, 65535, 262143, 15},
                   1},
        DecodeCase{"HighBitsOfByte5",
                   {0x8A, 0x15, 0x2A, 0x33, 0x44, 0x06, 0x55, 0x66, 0x0B},
                   {43750, 22980, 166570, 11},
                   1},
        DecodeCase{"PacketsOnlyAddNoRow", EncodeFrame({500, 0, 0, 0}), {500, 0, 0, 0}, 0},
        DecodeCase{"SyncLossOnlyAddsRow", EncodeFrame({0, 0, 0, 1}), {0, 0, 0, 1}, 1},
        DecodeCase{"AllZeroChangesNothing", EncodeFrame({}), {}, 0},
        DecodeCase{"IgnoredBitsOfBytes0_5_8",
                   {0xF0, 0x00, 0x05, 0x00, 0x00, 0x70, 0x07, 0x68, 0x70},
                   {1000, 0, 5, 0},
                   1},
        DecodeCase{"SyncAsFifthByteDropsFrame",
                   Concat({{0x80, 0x0F, 0x0F, 0x0F}, kExample}),
                   {1000, 0, 5, 0},
                   1},
        DecodeCase{
            "BytesAfterNinthIgnored", Concat({kExample, Bytes(20, 0x05)}), {1000, 0, 5, 0}, 1},
        DecodeCase{
            "NoiseBeforeFirstSyncIgnored", Concat({Bytes{1, 2, 3}, kExample}), {1000, 0, 5, 0}, 1},
        DecodeCase{"TwoFramesInOnePass",
                   Concat({kExample, EncodeFrame({7, 1, 0, 0})}),
                   {1007, 1, 5, 0},
                   2}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DlgTest, RowShowsTotalsAfterItsFrame) {
  Init();
  dlg.Decode(Concat({EncodeFrame({300, 0, 0, 0}), EncodeFrame({40, 2, 0, 0})}));
  ASSERT_EQ(dlg.Results().Count(), 1u);
  EXPECT_EQ(dlg.Results().At(0).GetTotals(), (Totals{340, 2, 0, 0}));
}

TEST_F(DlgTest, FrameSplitOverTwoPassesAtEveryPosition) {
  Init();
  const Bytes frame = EncodeFrame({1234, 56, 789, 3});
  for (int cut = 1; cut < 9; ++cut) {
    dlg.Decode(Bytes(frame.begin(), frame.begin() + cut));
    dlg.Decode(Bytes(frame.begin() + cut, frame.end()));
  }
  EXPECT_EQ(dlg.CurrentTotals(), (Totals{8 * 1234, 8 * 56, 8 * 789, 8 * 3}));
  EXPECT_EQ(dlg.Results().Count(), 8u);
}

TEST_F(DlgTest, FrameWrappingTheRingEnd) {
  Init();
  for (int start : {56, 60, 63}) {
    dlg.SetRingPos(start);
    dlg.Decode(kExample);
    EXPECT_EQ(dlg.ReadPos(), (start + 9) % 64);
  }
  EXPECT_EQ(dlg.CurrentTotals(), (Totals{3000, 0, 15, 0}));
}

// The repeated header follows the log line of every 50th error row, and
// frames without errors never bring it.
TEST_F(DlgTest, HeaderRepeatsAfterEvery50thErrorRow) {
  Start();
  const std::string header(LoadString(IDS_LOG_HEADER_REPEAT));
  Bytes bytes;
  for (int i = 0; i < 300; ++i) {
    const Bytes f = EncodeFrame({10, 0, 0, 0});
    bytes.insert(bytes.end(), f.begin(), f.end());
  }
  dlg.Decode(bytes);
  EXPECT_EQ(Log().find(header), std::string::npos);

  for (int i = 1; i <= 100; ++i) {
    dlg.Decode(EncodeFrame({0, 0, 1, 0}));
    const std::string log = Log();
    const bool headerLast = log.size() >= header.size() &&
                            log.compare(log.size() - header.size(), header.size(), header) == 0;
    EXPECT_EQ(headerLast, i % 50 == 0) << "after error row " << i;
    EXPECT_EQ(dlg.ErrorRows(), i % 50);
  }
  EXPECT_EQ(dlg.Results().Count(), 101u);  // with the start row
}

}  // namespace
}  // namespace linkwatch::testing
