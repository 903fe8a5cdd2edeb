#pragma once

namespace linkwatch {

// Tells screen readers what the window's controls are where Qt's own
// description would mislead: START, a check box drawn as a push button, is a
// button that shows as pressed; a drop-down list that has been given a name
// is called by that name, with its chosen item as its value (Qt on Linux
// names a list by its value). The name must be set before the list gets its
// items: Qt settles on a description at the first change it reports.
void InstallAccessibleControls();

}  // namespace linkwatch
