#pragma once

#include <QFont>
#include <QRect>
#include <QSize>

namespace linkwatch {

// A rectangle in dialog units: a quarter of the dialog font's average
// character width across, an eighth of its height down.
struct DluRect {
  int x = 0;
  int y = 0;
  int w = 0;
  int h = 0;
};

struct DluSize {
  int w = 0;
  int h = 0;
};

// Pixels per four horizontal and per eight vertical dialog units.
struct BaseUnits {
  int x = 0;  // average character width
  int y = 0;  // character height
  friend bool operator==(const BaseUnits&, const BaseUnits&) = default;
};

// n * numerator / denominator, rounded half away from zero.
int MulDivRound(int n, int numerator, int denominator);

// The average character width from the width of the 52 letters A-Z and a-z,
// rounded the way the dialog units have always been rounded.
int AverageCharWidth(int widthOfLetters);

BaseUnits BaseUnitsOf(const QFont& font);

QRect ToPixels(const DluRect& rect, const BaseUnits& units);
QSize ToPixels(const DluSize& size, const BaseUnits& units);

}  // namespace linkwatch
