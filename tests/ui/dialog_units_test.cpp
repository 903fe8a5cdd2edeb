#include <gtest/gtest.h>

#include "ui/dialog_units.h"

namespace linkwatch {
namespace {

TEST(DialogUnits, AverageWidthIsTheLettersWidthOver52RoundedAsEver) {
  struct Case {
    int letters;
    int average;
  };
  // (w / 26 + 1) / 2: 6.48 rounds down, 6.5 and above round up.
  for (const Case c : {Case{312, 6}, Case{337, 6}, Case{338, 7}, Case{363, 7}, Case{364, 7},
                       Case{389, 7}, Case{390, 8}, Case{0, 0}}) {
    EXPECT_EQ(AverageCharWidth(c.letters), c.average) << c.letters;
  }
}

TEST(DialogUnits, MulDivRoundsHalfAwayFromZero) {
  EXPECT_EQ(MulDivRound(228, 13, 8), 371);  // 370.5
  EXPECT_EQ(MulDivRound(10, 13, 8), 16);    // 16.25
  EXPECT_EQ(MulDivRound(3, 13, 8), 5);      // 4.875
  EXPECT_EQ(MulDivRound(-228, 13, 8), -371);
  EXPECT_EQ(MulDivRound(1 << 20, 1 << 12, 4), 1 << 30);  // no overflow on the way
}

TEST(DialogUnits, RectanglesMapEachFieldOnItsOwn) {
  const BaseUnits units{6, 13};
  EXPECT_EQ(ToPixels(DluRect{30, 10, 54, 19}, units), QRect(45, 16, 81, 31));
  // 8*6/4 = 12, 105*13/8 = 170.6, 305*6/4 = 457.5, 115*13/8 = 186.9
  EXPECT_EQ(ToPixels(DluRect{8, 105, 305, 115}, units), QRect(12, 171, 458, 187));
  EXPECT_EQ(ToPixels(DluSize{320, 228}, units), QSize(480, 371));
  EXPECT_EQ(ToPixels(DluSize{320, 228}, BaseUnits{7, 16}), QSize(560, 456));
}

}  // namespace
}  // namespace linkwatch
