#pragma once

#include <QWidget>

#include <string>

#include "control/platform.h"

namespace linkwatch {

// The name filter as the file dialog takes it: the label, and the pattern in
// brackets unless the label already ends with it.
QString NameFilterOf(const SaveFileRequest& request);

// A modal save-file dialog over owner that asks before it names an existing
// file. Returns the chosen absolute path, "" when cancelled.
std::string RunSaveFileDialog(QWidget* owner, const SaveFileRequest& request);

}  // namespace linkwatch
