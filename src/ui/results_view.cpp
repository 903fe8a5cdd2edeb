#include "ui/results_view.h"

#include <QEvent>
#include <QHeaderView>
#include <QStyle>

#include <algorithm>

#include "record/results_table.h"

namespace linkwatch {

ResultsView::ResultsView(QWidget* parent) : QTableView(parent) {
  setFrameStyle(QFrame::Box | QFrame::Plain);
  setLineWidth(1);
  setShowGrid(false);
  setWordWrap(false);
  setSortingEnabled(false);
  setCornerButtonEnabled(false);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  // Not in the tab order, but a click may give it the focus to scroll by keys.
  setFocusPolicy(Qt::ClickFocus);

  QHeaderView* rows = verticalHeader();
  rows->hide();
  rows->setSectionResizeMode(QHeaderView::Fixed);

  QHeaderView* columns = horizontalHeader();
  columns->setStretchLastSection(false);
  columns->setSectionsMovable(false);
  columns->setHighlightSections(false);
  columns->setSectionResizeMode(QHeaderView::Interactive);
  FitRowHeight();
}

void ResultsView::setModel(QAbstractItemModel* model) {
  QTableView::setModel(model);
  if (model == nullptr) return;
  for (int column = 0; column < kResultColumns && column < model->columnCount(); ++column) {
    setColumnWidth(column, ColumnWidth(column));
  }
}

// The column's own width, unless the font is too wide for its texts there:
// a date cut short cannot be read.
int ResultsView::ColumnWidth(int column) const {
  static const QStringList kWidestTexts[kResultColumns] = {
      {QStringLiteral("00-00-0000")},
      {QStringLiteral("00:00:00")},
      {QStringLiteral("0000000000"), QStringLiteral("1.235e+009"), QStringLiteral("RS-232  Lost")},
      {QStringLiteral("0000000000"), QStringLiteral("1.235e+009")},
      {QStringLiteral("0000000000"), QStringLiteral("1.235e+009")},
      {QStringLiteral("0000000000"), QStringLiteral("1.235e+009")},
  };
  const int margins = 2 * (style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1);
  int width = kResultColumnDefs[static_cast<std::size_t>(column)].width;
  for (const QString& text : kWidestTexts[column]) {
    width = std::max(width, fontMetrics().horizontalAdvance(text) + margins);
  }
  return std::max(width, horizontalHeader()->sectionSizeHint(column));
}

void ResultsView::changeEvent(QEvent* event) {
  if (event->type() == QEvent::FontChange) FitRowHeight();
  QTableView::changeEvent(event);
}

void ResultsView::FitRowHeight() {
  verticalHeader()->setMinimumSectionSize(1);
  verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 3);
}

}  // namespace linkwatch
