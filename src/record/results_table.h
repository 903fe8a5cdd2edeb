#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/totals.h"
#include "record/local_time.h"

namespace linkwatch {

// One row of the results table, stored compactly: the texts are formed only
// when the row is shown. The kind lives in the low bits of the time field.
class TableRow {
 public:
  enum class Kind : std::uint8_t { Result = 0, Lost = 1, Back = 2 };

  static TableRow Result(Seconds t, const Totals& totals) { return {t, Kind::Result, totals}; }
  static TableRow Status(Seconds t, bool bRestored) {
    return {t, bRestored ? Kind::Back : Kind::Lost, {}};
  }

  Seconds Time() const { return m_nTimeKind >> kKindBits; }
  Kind GetKind() const { return static_cast<Kind>(m_nTimeKind & kKindMask); }
  const Totals& GetTotals() const { return m_totals; }

 private:
  static constexpr int kKindBits = 2;
  static constexpr std::int64_t kKindMask = (1 << kKindBits) - 1;

  TableRow(Seconds t, Kind kind, const Totals& totals)
      : m_nTimeKind(t * (std::int64_t{1} << kKindBits) + static_cast<std::int64_t>(kind)),
        m_totals(totals) {}

  std::int64_t m_nTimeKind;
  Totals m_totals;
};
static_assert(sizeof(TableRow) == 40, "a row must stay small: a week's test has millions");

enum class Align { Left, Right };

struct ColumnDef {
  const char* heading;
  Align align;
  int width;  // pixels
};

inline constexpr int kResultColumns = 6;
inline constexpr std::array<ColumnDef, kResultColumns> kResultColumnDefs{{
    {"Date", Align::Left, 60},
    {"Time", Align::Left, 60},
    {"No. Packets", Align::Right, 90},
    {"ucERR", Align::Right, 70},
    {"cERR", Align::Right, 70},
    {"Sync Loss", Align::Right, 70},
}};

// The text of one cell of a row.
std::string CellText(const TableRow& row, int column);

// The results table: newest row first, no limit on the number of rows. Rows
// are kept in fixed-size chunks, so adding one never copies the others.
class ResultsTable {
 public:
  // Told before and after every change, as a view model needs.
  class Observer {
   public:
    virtual ~Observer() = default;
    virtual void BeforeInsertTop() = 0;
    virtual void AfterInsertTop() = 0;
    virtual void BeforeClear() = 0;
    virtual void AfterClear() = 0;
  };

  void SetObserver(Observer* observer) { m_pObserver = observer; }

  void InsertTop(const TableRow& row);
  void DeleteAllItems();

  std::size_t Count() const { return m_nCount; }
  // index 0 is the newest row.
  const TableRow& At(std::size_t index) const;

 private:
  static constexpr std::size_t kChunkRows = 4096;

  struct ChunkDelete {
    void operator()(TableRow* p) const { ::operator delete[](p); }
  };
  using Chunk = std::unique_ptr<TableRow[], ChunkDelete>;

  std::vector<Chunk> m_chunks;  // oldest rows first
  std::size_t m_nCount = 0;
  Observer* m_pObserver = nullptr;
};

}  // namespace linkwatch
