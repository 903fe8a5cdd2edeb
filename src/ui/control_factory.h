#pragma once

#include <QWidget>

#include "ui/main_template.h"

namespace linkwatch {

// Creates one control of a window template as a direct child of parent, with
// its text, visibility and focus behaviour; the caller places it.
QWidget* CreateControl(const ControlTemplate& control, QWidget* parent);

}  // namespace linkwatch
