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
  // Missing: a row no longer in memory whose line cannot be read back from
  // the log (the file was emptied or cut short meanwhile).
  enum class Kind : std::uint8_t { Result = 0, Lost = 1, Back = 2, Missing = 3 };

  static TableRow Result(Seconds t, const Totals& totals) { return {t, Kind::Result, totals}; }
  static TableRow Status(Seconds t, bool bRestored) {
    return {t, bRestored ? Kind::Back : Kind::Lost, {}};
  }
  static TableRow Missing() { return {0, Kind::Missing, {}}; }

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

inline constexpr const char* kMissingCell = "(not in the log)";

// Where rows that left memory are read back from: the log they were written
// to. LogFile is one.
class ILogSource {
 public:
  virtual ~ILogSource() = default;
  // How many bytes from the start of the log are in the file.
  virtual std::uint64_t WrittenBytes() const = 0;
  // Up to size bytes from offset; the count read, 0 at the end, -1 on failure.
  virtual long ReadAt(std::uint64_t offset, char* data, std::size_t size) const = 0;
};

// The results table: newest row first, no limit on the number of rows. Rows
// are kept in fixed-size chunks, so adding one never copies the others. With
// a row bound and a log, only the newest rows stay in memory: a chunk whose
// lines are all in the log file leaves memory once the bound is passed, and
// its rows are read back from the file when they are asked for. A chunk with
// lines not yet in the file (a full disk) stays until they are.
class ResultsTable {
 public:
  static constexpr std::uint64_t kNotInLog = ~std::uint64_t{0};
  static constexpr std::size_t kChunkRows = 4096;

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
  // The log that rows are read back from; not owned. None: all rows stay.
  void SetLogSource(const ILogSource* source) { m_pSource = source; }
  // How many rows at most stay in memory beyond those that cannot leave yet;
  // 0 for a front end that never shows the table. Unbounded at first.
  void SetRowBound(std::size_t rows) { m_nBound = rows; }

  // logOffset: where the row's line (its CR LF) starts in the log, or
  // kNotInLog when it will not be found there.
  void InsertTop(const TableRow& row, std::uint64_t logOffset = kNotInLog);
  void DeleteAllItems();

  std::size_t Count() const { return m_nCount; }
  // index 0 is the newest row.
  TableRow At(std::size_t index) const;
  // Rows held in memory, read-back ones aside.
  std::size_t RowsInMemory() const { return m_nInMemory; }

 private:
  struct ChunkDelete {
    void operator()(TableRow* p) const { ::operator delete[](p); }
  };
  using Chunk = std::unique_ptr<TableRow[], ChunkDelete>;
  struct ChunkInfo {
    Chunk rows;                        // null once the chunk has left memory
    std::uint64_t offset = kNotInLog;  // of its first row's line
    bool inLog = true;                 // every row's line is in the log
  };
  struct ReadBack {
    std::size_t chunk = 0;
    std::vector<TableRow> rows;
  };

  void LeaveMemory();
  const std::vector<TableRow>& ReadChunk(std::size_t chunk) const;

  std::vector<ChunkInfo> m_chunks;  // oldest rows first
  std::size_t m_nCount = 0;
  std::size_t m_nInMemory = 0;
  std::size_t m_nFirstInMemory = 0;  // the oldest chunk still in memory
  std::size_t m_nBound = static_cast<std::size_t>(-1);
  const ILogSource* m_pSource = nullptr;
  Observer* m_pObserver = nullptr;
  // The last chunks read back, most recent first: a view scrolls through a
  // few at a time.
  mutable std::vector<ReadBack> m_readBack;
};

}  // namespace linkwatch
