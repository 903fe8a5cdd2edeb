#pragma once

#include <QtCharts/QChart>

#include "quality/quality_summary.h"

namespace linkwatch {

// Fills chart with ucERR, cERR and sync loss per minute (per hour for tests
// longer than half a day) on a time axis, with the SES and unavailable
// stretches and the losses of the line shaded. Anything the chart held before
// is removed.
void FillErrorChart(QChart& chart, const QualitySummary& s);

}  // namespace linkwatch
