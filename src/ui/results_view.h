#pragma once

#include <QTableView>

namespace linkwatch {

// The results table's look: a bordered report with its column headings, no
// grid, no row numbers and rows of one fixed height, so that a table of
// millions of rows costs the view nothing per row.
class ResultsView : public QTableView {
  Q_OBJECT

 public:
  explicit ResultsView(QWidget* parent = nullptr);

  // Also gives each column its width.
  void setModel(QAbstractItemModel* model) override;

  // The column's width in pixels: its own, or wider where the font needs it.
  int ColumnWidth(int column) const;

 protected:
  void changeEvent(QEvent* event) override;

 private:
  void FitRowHeight();
};

}  // namespace linkwatch
