#pragma once

#include <QWidget>

#include <functional>
#include <vector>

#include "quality/quality_summary.h"

class QChart;
class QCheckBox;
class QLabel;
class QPushButton;

namespace linkwatch {

// "Link Quality": the live chart and G.826 figures of the running or last
// test, with the PDF report and the CSV switch. A plain window beside the
// main one: it only reads a summary that the tick keeps, and redraws later
// when it is shown, so it never holds up the tick.
class LinkQualityWindow : public QWidget {
  Q_OBJECT

 public:
  // summary is asked each time the window redraws; csvEnabled and setCsv read
  // and turn the CSV for the next test.
  LinkQualityWindow(QWidget* owner, std::function<QualitySummary()> summary,
                    std::function<bool()> csvEnabled, std::function<void(bool)> setCsv);

  // Marks the figures as changed; the redraw follows from the event loop,
  // once however many ticks came meanwhile.
  void Changed();
  // Redraws at once (also used by the tests).
  void Redraw();
  const QChart& Chart() const { return *m_chart; }
  QString FiguresText() const;
  QPushButton& SavePdfButton() const { return *m_savePdf; }
  QCheckBox& CsvSwitch() const { return *m_csvSwitch; }

  // Where the PDF goes; the window asks with a save dialog unless a test sets it.
  void SetPdfPathChooser(std::function<QString()> choose) { m_choosePdf = std::move(choose); }
  void SetSource(const QString& source) { m_source = source; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void SavePdf();

  std::function<QualitySummary()> m_summary;
  std::function<bool()> m_csvEnabled;
  std::function<void(bool)> m_setCsv;
  std::function<QString()> m_choosePdf;
  QString m_source;
  QChart* m_chart = nullptr;
  std::vector<std::pair<QLabel*, QLabel*>> m_rows;
  QLabel* m_note = nullptr;
  QPushButton* m_savePdf = nullptr;
  QCheckBox* m_csvSwitch = nullptr;
  bool m_bRedrawQueued = false;
};

}  // namespace linkwatch
