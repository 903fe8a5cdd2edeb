// The frame decoder's block path against its byte path: any stream, cut into
// passes at any points, must give the same frames, at the same offsets, and
// leave the same state after every pass as feeding it one byte at a time.
//
// Input: one byte n, then n cut points of two bytes each (taken modulo the
// stream's length), one byte choosing how each pass is fed, and the stream.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <vector>

#include "acquire/frame_decoder.h"

namespace {

using linkwatch::FrameCounts;
using linkwatch::FrameDecoder;

struct Seen {
  FrameCounts counts;
  std::optional<std::size_t> end;  // offset past the frame's last byte, when told
};

[[noreturn]] void Fail(const char* what, std::size_t at) {
  std::fprintf(stderr, "frame decoder mismatch: %s at byte %zu\n", what, at);
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  std::size_t at = 0;
  const std::size_t cutCount = data[at++] % 16;
  if (size < at + 2 * cutCount + 1) return 0;
  std::vector<std::size_t> cutsRaw;
  for (std::size_t i = 0; i < cutCount; ++i, at += 2) {
    cutsRaw.push_back(std::size_t{data[at]} << 8 | data[at + 1]);
  }
  const std::uint8_t modes = data[at++];
  const std::uint8_t* const stream = data + at;
  const std::size_t n = size - at;

  std::vector<std::size_t> cuts{0};
  for (const std::size_t c : cutsRaw) cuts.push_back(n == 0 ? 0 : c % (n + 1));
  cuts.push_back(n);
  std::sort(cuts.begin(), cuts.end());

  // The byte path, the reference: every frame with the offset past its end.
  std::vector<Seen> expected;
  {
    FrameDecoder ref;
    for (std::size_t i = 0; i < n; ++i) {
      if (const auto c = ref.Feed(stream[i])) expected.push_back({*c, i + 1});
    }
  }

  FrameDecoder dut;
  FrameDecoder ref;  // fed byte by byte up to the same point as dut
  std::vector<Seen> got;
  for (std::size_t pass = 0; pass + 1 < cuts.size(); ++pass) {
    const std::size_t from = cuts[pass];
    const std::size_t to = cuts[pass + 1];
    switch ((modes >> (2 * (pass % 4))) & 3u) {
      case 0:  // the block path, told where each frame ends
        dut.FeedBlock(stream + from, to - from, [&](const FrameCounts& c, std::size_t end) {
          got.push_back({c, from + end});
        });
        break;
      case 1:  // the block path, counts only
        dut.FeedBlock(stream + from, to - from, [&](const FrameCounts& c) {
          got.push_back({c, std::nullopt});
        });
        break;
      default:  // byte by byte, as a slow poll would
        for (std::size_t i = from; i < to; ++i) {
          if (const auto c = dut.Feed(stream[i])) got.push_back({*c, i + 1});
        }
        break;
    }
    for (std::size_t i = from; i < to; ++i) ref.Feed(stream[i]);
    if (!(dut == ref)) Fail("state after a pass", to);
  }

  if (got.size() != expected.size()) Fail("frame count", n);
  for (std::size_t i = 0; i < got.size(); ++i) {
    if (!(got[i].counts == expected[i].counts)) Fail("frame counts", *expected[i].end);
    if (got[i].end && got[i].end != expected[i].end) Fail("frame end", *expected[i].end);
  }
  return 0;
}
