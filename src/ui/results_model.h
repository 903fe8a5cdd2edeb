#pragma once

#include <QAbstractTableModel>

#include "record/results_table.h"

namespace linkwatch {

// The results table as a Qt model: newest row first, six columns, each text
// formed only when the view asks for it. It watches the table for changes
// from its construction to its destruction, so it must not outlive it.
class ResultsModel : public QAbstractTableModel, private ResultsTable::Observer {
  Q_OBJECT

 public:
  // A row's line in the log file, without the line break before it.
  static constexpr int kLogLineRole = Qt::UserRole + 1;

  explicit ResultsModel(ResultsTable& table, QObject* parent = nullptr);
  ~ResultsModel() override;

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

 private:
  void BeforeInsertTop() override;
  void AfterInsertTop() override;
  void BeforeClear() override;
  void AfterClear() override;

  ResultsTable& m_table;
};

}  // namespace linkwatch
