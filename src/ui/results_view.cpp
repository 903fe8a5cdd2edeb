#include "ui/results_view.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QScrollBar>
#include <QStyle>

#include <algorithm>
#include <vector>

#include "record/results_table.h"
#include "ui/results_model.h"

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
  // By whole rows, so that keeping the rows in view counts in rows.
  setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
  // Not in the tab order, but a click gives it the focus to scroll, select
  // and copy by keys.
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

namespace linkwatch {

QString ResultsView::SelectedLogText() const {
  if (model() == nullptr || selectionModel() == nullptr) return {};
  // From the ranges, not an index per cell: all of a million rows may be selected.
  std::vector<int> rows;
  for (const QItemSelectionRange& range : selectionModel()->selection()) {
    for (int row = range.top(); row <= range.bottom(); ++row) rows.push_back(row);
  }
  // The newest row is row 0: oldest first is the highest row first.
  std::sort(rows.begin(), rows.end(), std::greater<>());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  QStringList lines;
  lines.reserve(static_cast<qsizetype>(rows.size()));
  for (const int row : rows) {
    lines << model()->index(row, 0).data(ResultsModel::kLogLineRole).toString();
  }
  return lines.join(QStringLiteral("\r\n"));
}

void ResultsView::CopySelection() const {
  const QString text = SelectedLogText();
  if (!text.isEmpty()) QApplication::clipboard()->setText(text);
}

void ResultsView::keyPressEvent(QKeyEvent* event) {
  if (event->matches(QKeySequence::Copy)) {
    CopySelection();
    return;
  }
  if (event->key() == Qt::Key_Menu && event->modifiers() == Qt::NoModifier) {
    const QRect current = visualRect(currentIndex());
    const QPoint at = current.isValid() ? current.bottomLeft() : QPoint(0, 0);
    PopupCopyMenu(viewport()->mapToGlobal(at));
    return;
  }
  QTableView::keyPressEvent(event);
}

void ResultsView::contextMenuEvent(QContextMenuEvent* event) {
  PopupCopyMenu(event->globalPos());
}

void ResultsView::PopupCopyMenu(const QPoint& globalPos) {
  QMenu menu(this);
  QAction* copy = menu.addAction(tr("&Copy"), this, &ResultsView::CopySelection);
  copy->setShortcut(QKeySequence::Copy);
  copy->setEnabled(selectionModel() != nullptr && selectionModel()->hasSelection());
  QAction* all = menu.addAction(tr("Select &All"), this, &QAbstractItemView::selectAll);
  all->setShortcut(QKeySequence::SelectAll);
  all->setEnabled(model() != nullptr && model()->rowCount() > 0);
  menu.exec(globalPos);
}

void ResultsView::rowsInserted(const QModelIndex& parent, int start, int end) {
  // Rows above the first one in view push it down: scroll down as far, so
  // that what the user reads stays where it is.
  const int first = verticalScrollBar()->value();
  if (first > 0 && start <= first) m_nPendingShift += end - start + 1;
  QTableView::rowsInserted(parent, start, end);
  // The scroll range grows only with the next layout.
  if (m_nPendingShift != 0) scheduleDelayedItemsLayout();
}

void ResultsView::reset() {
  m_nPendingShift = 0;
  QTableView::reset();
  // An emptied table starts again at the top, following the newest row.
  verticalScrollBar()->setValue(0);
}

void ResultsView::updateGeometries() {
  QTableView::updateGeometries();
  if (m_nPendingShift == 0) return;
  QScrollBar* bar = verticalScrollBar();
  bar->setValue(bar->value() + m_nPendingShift);
  m_nPendingShift = 0;
}

}  // namespace linkwatch
