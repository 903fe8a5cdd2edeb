#include "ui/dialog_units.h"

#include <QFontMetrics>
#include <QString>

#include <cstdlib>

namespace linkwatch {

int MulDivRound(int n, int numerator, int denominator) {
  const long long product = static_cast<long long>(n) * numerator;
  const long long half = std::llabs(static_cast<long long>(denominator)) / 2;
  const bool negative = (product < 0) != (denominator < 0);
  const long long magnitude =
      (std::llabs(product) + half) / std::llabs(static_cast<long long>(denominator));
  return static_cast<int>(negative ? -magnitude : magnitude);
}

int AverageCharWidth(int widthOfLetters) {
  return (widthOfLetters / 26 + 1) / 2;
}

BaseUnits BaseUnitsOf(const QFont& font) {
  const QFontMetrics metrics(font);
  const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
  return {AverageCharWidth(metrics.horizontalAdvance(letters)), metrics.height()};
}

QRect ToPixels(const DluRect& rect, const BaseUnits& units) {
  return {MulDivRound(rect.x, units.x, 4), MulDivRound(rect.y, units.y, 8),
          MulDivRound(rect.w, units.x, 4), MulDivRound(rect.h, units.y, 8)};
}

QSize ToPixels(const DluSize& size, const BaseUnits& units) {
  return {MulDivRound(size.w, units.x, 4), MulDivRound(size.h, units.y, 8)};
}

}  // namespace linkwatch
