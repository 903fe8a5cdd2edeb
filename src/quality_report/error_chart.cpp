#include "quality_report/error_chart.h"

#include <QDateTime>
#include <QtCharts/QAreaSeries>
#include <QtCharts/QDateTimeAxis>
#include <QtCharts/QLineSeries>
#include <QtCharts/QValueAxis>
#include <algorithm>

namespace linkwatch {

namespace {

constexpr std::int64_t kHourlyAbove = 12 * 3600;

qreal Ms(std::int64_t t) {
  return static_cast<qreal>(t) * 1000.0;
}

// A shaded band over each span, from 0 up to top.
template <class Span>
QAreaSeries* Band(const std::vector<Span>& spans, qreal top, const QString& name, QColor color) {
  auto* upper = new QLineSeries;
  for (const Span& s : spans) {
    upper->append(Ms(s.begin), 0);
    upper->append(Ms(s.begin), top);
    upper->append(Ms(s.end), top);
    upper->append(Ms(s.end), 0);
  }
  auto* area = new QAreaSeries(upper);
  // An area series does not own its line: without a parent it would outlive
  // the chart's series.
  upper->setParent(area);
  area->setName(name);
  color.setAlpha(70);
  area->setColor(color);
  area->setBorderColor(Qt::transparent);
  return area;
}

}  // namespace

void FillErrorChart(QChart& chart, const QualitySummary& s) {
  chart.removeAllSeries();
  for (QAbstractAxis* axis : chart.axes()) {
    chart.removeAxis(axis);
    delete axis;
  }
  const bool hourly = s.first && *s.last - *s.first > kHourlyAbove;
  const std::vector<ErrorBucket> buckets = hourly ? s.Hours() : s.minutes;
  const std::int64_t width = hourly ? 3600 : 60;

  auto* uc = new QLineSeries;
  auto* c = new QLineSeries;
  auto* sync = new QLineSeries;
  uc->setName(hourly ? "ucERR per hour" : "ucERR per minute");
  c->setName(hourly ? "cERR per hour" : "cERR per minute");
  sync->setName(hourly ? "sync loss per hour" : "sync loss per minute");
  uc->setColor(QColor(200, 30, 30));
  c->setColor(QColor(30, 90, 200));
  sync->setColor(QColor(20, 140, 60));
  std::uint64_t top = 0;
  // Steps: each bucket's value holds across its whole width.
  for (const ErrorBucket& b : buckets) {
    const qreal x0 = Ms(b.begin), x1 = Ms(b.begin + width);
    uc->append(x0, static_cast<qreal>(b.ucErr));
    uc->append(x1, static_cast<qreal>(b.ucErr));
    c->append(x0, static_cast<qreal>(b.cErr));
    c->append(x1, static_cast<qreal>(b.cErr));
    sync->append(x0, static_cast<qreal>(b.syncLoss));
    sync->append(x1, static_cast<qreal>(b.syncLoss));
    top = std::max({top, b.ucErr, b.cErr, b.syncLoss});
  }
  const qreal yTop = top == 0 ? 1.0 : static_cast<qreal>(top) * 1.05;

  std::vector<QAbstractSeries*> all = {
      Band(s.unavailableSpans, yTop, "unavailable", QColor(120, 0, 160)),
      Band(s.sesSpans, yTop, "SES", QColor(230, 120, 0)),
      Band(s.lineLosses, yTop, "line lost", QColor(110, 110, 110)),
      c,
      uc,
      sync};

  auto* x = new QDateTimeAxis;
  const bool shortTest = !s.first || *s.last - *s.first < 2 * 3600;
  x->setFormat(hourly ? "dd.MM. HH:mm" : shortTest ? "HH:mm:ss" : "HH:mm");
  x->setTitleText("local time");
  const std::int64_t begin = buckets.empty() ? 0 : buckets.front().begin;
  const std::int64_t end = buckets.empty() ? 60 : buckets.back().begin + width;
  x->setRange(QDateTime::fromSecsSinceEpoch(begin), QDateTime::fromSecsSinceEpoch(end));
  x->setTickCount(7);
  auto* y = new QValueAxis;
  y->setRange(0, yTop);
  y->setLabelFormat("%.0f");
  y->setTitleText(hourly ? "count per hour" : "count per minute");
  chart.addAxis(x, Qt::AlignBottom);
  chart.addAxis(y, Qt::AlignLeft);
  for (QAbstractSeries* series : all) {
    chart.addSeries(series);
    series->attachAxis(x);
    series->attachAxis(y);
  }
  chart.legend()->setAlignment(Qt::AlignBottom);
}

}  // namespace linkwatch
