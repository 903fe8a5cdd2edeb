#pragma once

#include <QIcon>

namespace linkwatch {

// The program's icon, in the sizes drawn for it.
QIcon AppIcon();

}  // namespace linkwatch
