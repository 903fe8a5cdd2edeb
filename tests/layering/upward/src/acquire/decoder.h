#pragma once
// A decoder that reaches up into the dialog: the layering check must refuse it.
#include "control/monitor_dlg.h"
