#include "quality_report/report_page.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QGraphicsScene>
#include <QImage>
#include <QPageSize>
#include <QPdfWriter>
#include <QSaveFile>
#include <QtCharts/QChart>
#include <algorithm>

#include "quality/quality_text.h"
#include "quality_report/error_chart.h"

namespace linkwatch {

namespace {

QString Q(const std::string& s) {
  return QString::fromStdString(s);
}

constexpr int kMaxLossLines = 8;

}  // namespace

void DrawReportPage(QPainter& painter, const QRectF& page, const QualitySummary& s,
                    const QString& source) {
  painter.save();
  painter.fillRect(page, Qt::white);
  // Lay out on a 1000-unit-wide page and scale to the device.
  const qreal scale = page.width() / 1000.0;
  painter.translate(page.topLeft());
  painter.scale(scale, scale);
  const qreal w = 1000.0, h = page.height() / scale;
  const qreal margin = 50.0;

  QFont title("DejaVu Sans");
  title.setPixelSize(26);
  title.setBold(true);
  QFont body("DejaVu Sans");
  body.setPixelSize(14);
  QFont small("DejaVu Sans");
  small.setPixelSize(11);

  qreal y = margin;
  painter.setPen(Qt::black);
  painter.setFont(title);
  painter.drawText(QRectF(margin, y, w - 2 * margin, 36), Qt::AlignLeft, "Link quality report");
  y += 40;
  painter.setFont(small);
  painter.drawText(QRectF(margin, y, w - 2 * margin, 18), Qt::AlignLeft,
                   "Source: " + source + "    Made " +
                       QDateTime::currentDateTime().toString("yyyy-MM-dd HH:mm") +
                       "    Figures after ITU-T G.826: block = packet, errored block = "
                       "packet counted in ucERR, second = tick");
  y += 22;
  if (s.estimated) {
    painter.setPen(QColor(170, 0, 0));
    painter.drawText(QRectF(margin, y, w - 2 * margin, 18), Qt::AlignLeft,
                     "Rebuilt from the log alone: ES is exact; SES, BBE and unavailable time "
                     "are estimated (marked \"estimated\").");
    painter.setPen(Qt::black);
    y += 20;
  }
  y += 8;

  // The summary table, in two columns of label and value.
  painter.setFont(body);
  const auto rows = SummaryRows(s);
  const qreal rowH = 22;
  const std::size_t perColumn = (rows.size() + 1) / 2;
  const qreal colW = (w - 2 * margin) / 2;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const qreal x = margin + (i < perColumn ? 0 : colW);
    const qreal ry = y + static_cast<qreal>(i % perColumn) * rowH;
    if ((i % perColumn) % 2 == 0)
      painter.fillRect(QRectF(x, ry, colW - 10, rowH), QColor(240, 243, 247));
    painter.drawText(QRectF(x + 6, ry, colW * 0.5, rowH), Qt::AlignVCenter | Qt::AlignLeft,
                     Q(rows[i].first));
    painter.drawText(QRectF(x + colW * 0.4, ry, colW * 0.6 - 16, rowH),
                     Qt::AlignVCenter | Qt::AlignRight, Q(rows[i].second));
  }
  y += static_cast<qreal>(perColumn) * rowH + 20;

  // The chart, drawn through a scene so that no window is needed.
  const qreal lossBlock = 30 + 18.0 * std::min<std::size_t>(s.lineLosses.size(), kMaxLossLines + 1);
  const qreal chartH = std::clamp<qreal>(h - y - margin - lossBlock, 250, w * 0.62);
  QGraphicsScene scene;
  auto* chart = new QChart;  // owned by the scene
  scene.addItem(chart);
  chart->setAnimationOptions(QChart::NoAnimation);
  chart->setBackgroundRoundness(0);
  chart->setTitle("Errors over the test");
  FillErrorChart(*chart, s);
  const QRectF chartRect(0, 0, w - 2 * margin, chartH);
  chart->setGeometry(chartRect);
  scene.setSceneRect(chartRect);
  painter.setRenderHint(QPainter::Antialiasing);
  scene.render(&painter, QRectF(margin, y, chartRect.width(), chartRect.height()), chartRect);
  y += chartH + 14;

  painter.setFont(body);
  painter.drawText(QRectF(margin, y, w - 2 * margin, 20), Qt::AlignLeft,
                   s.lineLosses.empty() ? QString("The serial line was never lost.")
                                        : QString("Losses of the serial line:"));
  y += 22;
  painter.setFont(small);
  for (std::size_t i = 0; i < s.lineLosses.size() && i <= kMaxLossLines; ++i) {
    const LineLoss& l = s.lineLosses[i];
    const QString text =
        i == kMaxLossLines ? QString("... and %1 more").arg(s.lineLosses.size() - kMaxLossLines)
                           : Q(LocalStampText(l.begin) + "  for " + DurationText(l.end - l.begin));
    painter.drawText(QRectF(margin + 10, y, w - 2 * margin, 18), Qt::AlignLeft, text);
    y += 18;
  }
  painter.restore();
}

namespace {

QString Failed(const QString& path, const QString& why) {
  return "cannot write " + path + ": " + why;
}

}  // namespace

QString SaveReportPdf(const QString& path, const QualitySummary& s, const QString& source) {
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return Failed(path, file.errorString());
  {
    QPdfWriter pdf(&file);
    pdf.setPageSize(QPageSize(QPageSize::A4));
    pdf.setResolution(300);
    pdf.setTitle("Link quality report");
    pdf.setCreator("linkwatch");
    QPainter painter;
    if (!painter.begin(&pdf)) return Failed(path, "cannot draw the PDF");
    DrawReportPage(painter, QRectF(0, 0, pdf.width(), pdf.height()), s, source);
    if (!painter.end()) return Failed(path, "cannot finish the PDF");
  }
  if (!file.commit()) return Failed(path, file.errorString());
  return {};
}

QString SaveReportPng(const QString& path, const QualitySummary& s, const QString& source) {
  // A4 at 150 dots per inch.
  QImage image(1240, 1754, QImage::Format_RGB32);
  image.fill(Qt::white);
  {
    QPainter painter(&image);
    DrawReportPage(painter, QRectF(0, 0, image.width(), image.height()), s, source);
  }
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return Failed(path, file.errorString());
  if (!image.save(&file, "PNG")) return Failed(path, "cannot encode the PNG");
  if (!file.commit()) return Failed(path, file.errorString());
  return {};
}

}  // namespace linkwatch
