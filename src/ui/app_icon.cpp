#include "ui/app_icon.h"

// Resources compiled into a static library must be registered by hand.
static void RegisterIconResources() {
  Q_INIT_RESOURCE(linkwatch_icons);
}

namespace linkwatch {

QIcon AppIcon() {
  static const bool registered = (RegisterIconResources(), true);
  (void)registered;
  QIcon icon;
  for (const int size : {16, 32, 48}) {
    icon.addFile(QStringLiteral(":/linkwatch/linkwatch-%1.png").arg(size), QSize(size, size));
  }
  return icon;
}

}  // namespace linkwatch
