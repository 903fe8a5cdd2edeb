#include "ui/results_model.h"

#include "record/row_texts.h"
#include "ui/qt_text.h"

namespace linkwatch {

namespace {

Qt::Alignment AlignmentOf(int column) {
  const Align align = kResultColumnDefs[static_cast<std::size_t>(column)].align;
  return (align == Align::Right ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter;
}

std::string LogLineOf(const TableRow& row) {
  std::string line = row.GetKind() == TableRow::Kind::Result
                         ? ResultLogLine(row.Time(), row.GetTotals())
                         : StatusLogLine(row.Time(), row.GetKind() == TableRow::Kind::Back);
  if (line.starts_with("\r\n")) line.erase(0, 2);
  return line;
}

bool IsColumn(int section) {
  return section >= 0 && section < kResultColumns;
}

}  // namespace

ResultsModel::ResultsModel(ResultsTable& table, QObject* parent)
    : QAbstractTableModel(parent), m_table(table) {
  m_table.SetObserver(this);
}

ResultsModel::~ResultsModel() {
  m_table.SetObserver(nullptr);
}

int ResultsModel::rowCount(const QModelIndex& parent) const {
  if (parent.isValid()) return 0;
  // Views count rows in int; 2^31 rows of 40 bytes would be 80 GiB, far
  // beyond any test this program can run.
  return static_cast<int>(m_table.Count());
}

int ResultsModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kResultColumns;
}

QVariant ResultsModel::data(const QModelIndex& index, int role) const {
  if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) {
    return {};
  }
  switch (role) {
    case Qt::DisplayRole:
      return ToQString(CellText(m_table.At(static_cast<std::size_t>(index.row())), index.column()));
    case Qt::TextAlignmentRole:
      return QVariant::fromValue(AlignmentOf(index.column()));
    case kLogLineRole:
      return ToQString(LogLineOf(m_table.At(static_cast<std::size_t>(index.row()))));
    default:
      return {};
  }
}

QVariant ResultsModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || !IsColumn(section)) return {};
  switch (role) {
    case Qt::DisplayRole:
      return QString::fromLatin1(kResultColumnDefs[static_cast<std::size_t>(section)].heading);
    case Qt::TextAlignmentRole:
      return QVariant::fromValue(AlignmentOf(section));
    default:
      return {};
  }
}

Qt::ItemFlags ResultsModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

void ResultsModel::BeforeInsertTop() {
  beginInsertRows({}, 0, 0);
}
void ResultsModel::AfterInsertTop() {
  endInsertRows();
}
void ResultsModel::BeforeClear() {
  beginResetModel();
}
void ResultsModel::AfterClear() {
  endResetModel();
}

}  // namespace linkwatch
