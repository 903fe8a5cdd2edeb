#include "record/results_table.h"

#include <memory>
#include <new>

#include "record/row_texts.h"

namespace linkwatch {

std::string CellText(const TableRow& row, int column) {
  switch (column) {
    case 0:
      return DateText(BreakDown(row.Time()));
    case 1:
      return TimeText(BreakDown(row.Time()));
    default:
      break;
  }
  const TableRow::Kind kind = row.GetKind();
  if (kind != TableRow::Kind::Result) {
    if (column != 2) return {};
    return kind == TableRow::Kind::Back ? kBackCell : kLostCell;
  }
  const Totals& t = row.GetTotals();
  switch (column) {
    case 2:
      return NumberText(t.packets);
    case 3:
      return NumberText(t.ucErr);
    case 4:
      return NumberText(t.cErr);
    case 5:
      return NumberText(t.syncLoss);
    default:
      return {};
  }
}

void ResultsTable::InsertTop(const TableRow& row) {
  if (m_nCount == m_chunks.size() * kChunkRows) {
    // Raw storage: a row is constructed in its slot only when it is added.
    m_chunks.emplace_back(static_cast<TableRow*>(::operator new[](kChunkRows * sizeof(TableRow))));
  }
  if (m_pObserver != nullptr) m_pObserver->BeforeInsertTop();
  std::construct_at(&m_chunks[m_nCount / kChunkRows][m_nCount % kChunkRows], row);
  ++m_nCount;
  if (m_pObserver != nullptr) m_pObserver->AfterInsertTop();
}

void ResultsTable::DeleteAllItems() {
  if (m_pObserver != nullptr) m_pObserver->BeforeClear();
  m_chunks.clear();
  m_nCount = 0;
  if (m_pObserver != nullptr) m_pObserver->AfterClear();
}

const TableRow& ResultsTable::At(std::size_t index) const {
  const std::size_t pos = m_nCount - 1 - index;
  return m_chunks[pos / kChunkRows][pos % kChunkRows];
}

}  // namespace linkwatch
