#include "ui/unbroken_lines.h"

#include <QFontMetricsF>
#include <QStringList>

#include <algorithm>
#include <cmath>

namespace linkwatch {

int UnbrokenLinesWidth(const QFont& font, const QString& text) {
  const QFontMetricsF metrics(font);
  int width = 0;
  for (const QString& line : text.split(QLatin1Char('\n'))) {
    if (line.contains(QLatin1Char(' '))) continue;
    // Rounded up, and a pixel to spare: a line a fraction too wide would wrap.
    width = std::max(width, static_cast<int>(std::ceil(metrics.horizontalAdvance(line))) + 1);
  }
  return width;
}

}  // namespace linkwatch
