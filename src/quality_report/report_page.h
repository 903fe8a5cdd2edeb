#pragma once

#include <QPainter>
#include <QRectF>
#include <QString>

#include "quality/quality_summary.h"

namespace linkwatch {

// Draws the one-page report: heading, summary table, chart and the losses of
// the line, scaled to page.
void DrawReportPage(QPainter& painter, const QRectF& page, const QualitySummary& s,
                    const QString& source);

// Write the report to path through a temporary file beside it, so a failed
// write leaves nothing behind. Return an empty string, or what went wrong.
QString SaveReportPdf(const QString& path, const QualitySummary& s, const QString& source);
QString SaveReportPng(const QString& path, const QualitySummary& s, const QString& source);

}  // namespace linkwatch
