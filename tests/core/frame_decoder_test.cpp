#include "acquire/frame_decoder.h"

#include <gtest/gtest.h>

namespace linkwatch {
namespace {
TEST(FrameDecoder, Smoke) {
  FrameDecoder d;
  std::optional<FrameCounts> out;
  for (std::uint8_t b : {0x80, 0x00, 0x05, 0x00, 0x00, 0x00, 0x07, 0x68, 0x00}) out = d.Feed(b);
  ASSERT_TRUE(out);
  EXPECT_EQ(out->packets, 1000u);
}
}  // namespace
}  // namespace linkwatch
