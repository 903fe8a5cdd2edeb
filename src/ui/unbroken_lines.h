#pragma once

#include <QFont>
#include <QString>

namespace linkwatch {

// How wide a box's text must be so that none of its lines without a space (a
// device path, a command) is broken: the widest such line, in pixels.
int UnbrokenLinesWidth(const QFont& font, const QString& text);

}  // namespace linkwatch
