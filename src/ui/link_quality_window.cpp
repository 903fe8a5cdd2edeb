#include "ui/link_quality_window.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>

#include "quality/quality_text.h"
#include "quality_report/error_chart.h"
#include "quality_report/report_page.h"

namespace linkwatch {

LinkQualityWindow::LinkQualityWindow(QWidget* owner, std::function<QualitySummary()> summary,
                                     std::function<bool()> csvEnabled,
                                     std::function<void(bool)> setCsv)
    : QWidget(owner, Qt::Window),
      m_summary(std::move(summary)),
      m_csvEnabled(std::move(csvEnabled)),
      m_setCsv(std::move(setCsv)) {
  setWindowTitle("Link Quality");
  auto* layout = new QVBoxLayout(this);

  m_chart = new QChart;
  m_chart->setAnimationOptions(QChart::NoAnimation);
  auto* view = new QChartView(m_chart);
  view->setRenderHint(QPainter::Antialiasing);
  view->setMinimumSize(560, 300);
  layout->addWidget(view, 1);

  m_note = new QLabel;
  m_note->setWordWrap(true);
  layout->addWidget(m_note);

  auto* grid = new QGridLayout;
  const std::size_t rows = SummaryRows(QualitySummary{}).size();
  const std::size_t perColumn = (rows + 1) / 2;
  for (std::size_t i = 0; i < rows; ++i) {
    auto* label = new QLabel;
    auto* value = new QLabel;
    value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    value->setTextInteractionFlags(Qt::TextSelectableByMouse);
    const int row = static_cast<int>(i % perColumn);
    const int col = i < perColumn ? 0 : 2;
    grid->addWidget(label, row, col);
    grid->addWidget(value, row, col + 1);
    m_rows.emplace_back(label, value);
  }
  grid->setColumnMinimumWidth(1, 140);
  grid->setColumnMinimumWidth(3, 140);
  grid->setHorizontalSpacing(14);
  layout->addLayout(grid);

  auto* buttons = new QHBoxLayout;
  m_csvSwitch = new QCheckBox("Write the per-second CSV beside the log (from the next test)");
  m_csvSwitch->setChecked(m_csvEnabled());
  connect(m_csvSwitch, &QCheckBox::toggled, this, [this](bool on) { m_setCsv(on); });
  buttons->addWidget(m_csvSwitch);
  buttons->addStretch(1);
  m_savePdf = new QPushButton("Save PDF Report...");
  connect(m_savePdf, &QPushButton::clicked, this, &LinkQualityWindow::SavePdf);
  buttons->addWidget(m_savePdf);
  auto* close = new QPushButton("Close");
  connect(close, &QPushButton::clicked, this, &QWidget::close);
  buttons->addWidget(close);
  layout->addLayout(buttons);

  m_choosePdf = [this] {
    return QFileDialog::getSaveFileName(this, "Save PDF Report", "link-quality.pdf",
                                        "PDF file (*.pdf)");
  };
  Redraw();
}

void LinkQualityWindow::Changed() {
  // Hidden, nothing is drawn; showing it redraws.
  if (!isVisible() || m_bRedrawQueued) return;
  m_bRedrawQueued = true;
  QTimer::singleShot(0, this, [this] {
    m_bRedrawQueued = false;
    Redraw();
  });
}

void LinkQualityWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  m_csvSwitch->setChecked(m_csvEnabled());
  Redraw();
}

void LinkQualityWindow::Redraw() {
  const QualitySummary s = m_summary();
  FillErrorChart(*m_chart, s);
  const auto rows = SummaryRows(s);
  for (std::size_t i = 0; i < m_rows.size() && i < rows.size(); ++i) {
    m_rows[i].first->setText(QString::fromStdString(rows[i].first));
    m_rows[i].second->setText(QString::fromStdString(rows[i].second));
  }
  m_note->setText(s.first ? QString("Figures after ITU-T G.826, of %1.").arg(m_source)
                          : QString("No test has run yet."));
}

QString LinkQualityWindow::FiguresText() const {
  QString text;
  for (const auto& [label, value] : m_rows) text += label->text() + ": " + value->text() + "\n";
  return text;
}

void LinkQualityWindow::SavePdf() {
  const QString path = m_choosePdf();
  if (path.isEmpty()) return;
  const QString err = SaveReportPdf(path, m_summary(), m_source);
  if (!err.isEmpty()) QMessageBox::warning(this, "Link Quality", err);
}

}  // namespace linkwatch
