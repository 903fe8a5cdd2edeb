#pragma once

#include <QTableView>

namespace linkwatch {

// The results table's look: a bordered report with its column headings, no
// grid, no row numbers and rows of one fixed height, so that a table of
// millions of rows costs the view nothing per row. Rows can be selected and
// copied as their log lines. New rows come at the top: scrolled down, the
// rows in view stay put; at the top, the view shows the newest.
class ResultsView : public QTableView {
  Q_OBJECT

 public:
  explicit ResultsView(QWidget* parent = nullptr);

  // Also gives each column its width.
  void setModel(QAbstractItemModel* model) override;

  // The column's width in pixels: its own, or wider where the font needs it.
  int ColumnWidth(int column) const;

  // The selected rows' log lines, oldest first, CR LF between them.
  QString SelectedLogText() const;
  void CopySelection() const;

  void reset() override;

 protected:
  void changeEvent(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void rowsInserted(const QModelIndex& parent, int start, int end) override;
  void updateGeometries() override;

 private:
  void FitRowHeight();
  void PopupCopyMenu(const QPoint& globalPos);

  int m_nPendingShift = 0;  // rows come above the view since the last layout
};

}  // namespace linkwatch
