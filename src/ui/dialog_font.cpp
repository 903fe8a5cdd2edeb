#include "ui/dialog_font.h"

namespace linkwatch {

QFont DialogFont() {
  QFont font(QStringLiteral("MS Sans Serif"), 8, QFont::Normal, false);
  font.setStyleHint(QFont::SansSerif);
  return font;
}

}  // namespace linkwatch
