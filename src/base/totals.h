#pragma once

namespace linkwatch {

// The four running sums of a test. Doubles hold every count exactly up to 2^53,
// far beyond what a week at the full line rate can add up to.
struct Totals {
  double packets = 0.0;
  double ucErr = 0.0;
  double cErr = 0.0;
  double syncLoss = 0.0;

  friend bool operator==(const Totals&, const Totals&) = default;
};

}  // namespace linkwatch
