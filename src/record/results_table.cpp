#include "record/results_table.h"

#include <algorithm>
#include <cerrno>
#include <memory>
#include <new>
#include <string_view>

#include "record/log_line_parse.h"
#include "record/row_texts.h"

namespace linkwatch {

std::string CellText(const TableRow& row, int column) {
  if (row.GetKind() == TableRow::Kind::Missing) return column == 2 ? kMissingCell : "";
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

void ResultsTable::InsertTop(const TableRow& row, std::uint64_t logOffset) {
  const std::size_t slot = m_nCount % kChunkRows;
  if (slot == 0) {
    // Raw storage: a row is constructed in its slot only when it is added.
    m_chunks.push_back(
        {Chunk(static_cast<TableRow*>(::operator new[](kChunkRows * sizeof(TableRow)))), logOffset,
         true});
  }
  ChunkInfo& chunk = m_chunks.back();
  if (logOffset == kNotInLog) chunk.inLog = false;
  if (m_pObserver != nullptr) m_pObserver->BeforeInsertTop();
  std::construct_at(&chunk.rows[slot], row);
  ++m_nCount;
  ++m_nInMemory;
  if (m_pObserver != nullptr) m_pObserver->AfterInsertTop();
  LeaveMemory();
}

// Only whole chunks leave, oldest first, and only once the next chunk has
// begun: its first line's offset is where this chunk's lines end.
void ResultsTable::LeaveMemory() {
  if (m_pSource == nullptr) return;
  while (m_nInMemory > m_nBound && m_nFirstInMemory + 1 < m_chunks.size()) {
    ChunkInfo& oldest = m_chunks[m_nFirstInMemory];
    const std::uint64_t end = m_chunks[m_nFirstInMemory + 1].offset;
    if (!oldest.inLog || end == kNotInLog || end > m_pSource->WrittenBytes()) return;
    oldest.rows.reset();
    m_nInMemory -= kChunkRows;
    ++m_nFirstInMemory;
  }
}

void ResultsTable::DeleteAllItems() {
  if (m_pObserver != nullptr) m_pObserver->BeforeClear();
  m_chunks.clear();
  m_nCount = 0;
  m_nInMemory = 0;
  m_nFirstInMemory = 0;
  m_readBack.clear();
  if (m_pObserver != nullptr) m_pObserver->AfterClear();
}

const std::vector<TableRow>& ResultsTable::ReadChunk(std::size_t chunk) const {
  for (std::size_t i = 0; i < m_readBack.size(); ++i) {
    if (m_readBack[i].chunk == chunk) {
      std::rotate(m_readBack.begin(), m_readBack.begin() + static_cast<long>(i),
                  m_readBack.begin() + static_cast<long>(i) + 1);
      return m_readBack.front().rows;
    }
  }
  constexpr std::size_t kKeptReadBacks = 8;
  if (m_readBack.size() == kKeptReadBacks) m_readBack.pop_back();
  m_readBack.insert(m_readBack.begin(), ReadBack{chunk, {}});
  std::vector<TableRow>& rows = m_readBack.front().rows;
  rows.reserve(kChunkRows);

  // The lines from this chunk's first to the next chunk's first, with any
  // repeated headers and notes among them.
  const std::uint64_t begin = m_chunks[chunk].offset;
  const std::uint64_t end = m_chunks[chunk + 1].offset;
  std::string text(static_cast<std::size_t>(end - begin), '\0');
  std::size_t got = 0;
  while (got < text.size()) {
    const long n = m_pSource->ReadAt(begin + got, text.data() + got, text.size() - got);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    got += static_cast<std::size_t>(n);
  }
  text.resize(got);
  const std::string_view all(text);
  std::size_t pos = all.starts_with("\r\n") ? 2 : all.size();
  while (pos < all.size() && rows.size() < kChunkRows) {
    std::size_t next = all.find("\r\n", pos);
    if (next == std::string_view::npos) next = all.size();
    if (const auto row = ParseLogLine(all.substr(pos, next - pos))) rows.push_back(*row);
    pos = next + 2;
  }
  // A log emptied or cut short meanwhile: say so rather than show wrong rows.
  if (rows.size() != kChunkRows) rows.assign(kChunkRows, TableRow::Missing());
  return rows;
}

TableRow ResultsTable::At(std::size_t index) const {
  const std::size_t pos = m_nCount - 1 - index;
  const std::size_t chunk = pos / kChunkRows;
  if (m_chunks[chunk].rows) return m_chunks[chunk].rows[pos % kChunkRows];
  return ReadChunk(chunk)[pos % kChunkRows];
}

}  // namespace linkwatch
