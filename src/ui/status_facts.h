#pragma once

#include "ui/status_line.h"

namespace linkwatch {

class CMonitorDlg;

// The status line's facts as the dialog holds them now.
StatusFacts ReadStatusFacts(const CMonitorDlg& dlg);

}  // namespace linkwatch
