#pragma once

#include <QFont>

namespace linkwatch {

// The font every dialog of the program is laid out in: "MS Sans Serif" at
// 8 points where it exists, else the system's sans-serif face.
QFont DialogFont();

}  // namespace linkwatch
