#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "acquire/frame_decoder.h"

namespace linkwatch::bench {

// A line as the instrument sends it on a fair day: whole frames, 5 in 100
// with error counts, and 8 in 100 pieces are noise instead of a frame: a few
// bytes trailing a frame, or a few bytes of any value. Always the same bytes
// for the same size.
std::vector<std::uint8_t> TypicalLine(std::size_t size);

// The same frames with no noise at all.
std::vector<std::uint8_t> CleanLine(std::size_t size);

// n frames back to back, each with a non-zero error count.
std::vector<std::uint8_t> ErrorFrames(std::size_t n);

}  // namespace linkwatch::bench
