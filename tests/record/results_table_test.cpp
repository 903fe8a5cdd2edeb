#include "record/results_table.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace linkwatch {
namespace {

class RecordingObserver : public ResultsTable::Observer {
 public:
  explicit RecordingObserver(const ResultsTable& table) : m_table(table) {}
  void BeforeInsertTop() override {
    calls.push_back("before-insert " + std::to_string(m_table.Count()));
  }
  void AfterInsertTop() override {
    calls.push_back("after-insert " + std::to_string(m_table.Count()));
  }
  void BeforeClear() override {
    calls.push_back("before-clear " + std::to_string(m_table.Count()));
  }
  void AfterClear() override { calls.push_back("after-clear " + std::to_string(m_table.Count())); }
  std::vector<std::string> calls;

 private:
  const ResultsTable& m_table;
};

TEST(ResultsTable, NewestFirstAcrossManyChunks) {
  ResultsTable table;
  constexpr int kRows = 10000;
  for (int i = 0; i < kRows; ++i) table.InsertTop(TableRow::Result(i, {double(i), 0, 0, 0}));
  ASSERT_EQ(table.Count(), static_cast<std::size_t>(kRows));
  for (int index : {0, 1, 4095, 4096, 5000, kRows - 1}) {
    const TableRow& row = table.At(static_cast<std::size_t>(index));
    EXPECT_EQ(row.Time(), kRows - 1 - index);
    EXPECT_EQ(row.GetTotals().packets, kRows - 1 - index);
  }
  table.DeleteAllItems();
  EXPECT_EQ(table.Count(), 0u);
  table.InsertTop(TableRow::Status(7, true));
  EXPECT_EQ(table.At(0).Time(), 7);
}

TEST(ResultsTable, ObserverSeesEachChangeBeforeAndAfter) {
  ResultsTable table;
  RecordingObserver observer(table);
  table.SetObserver(&observer);
  table.InsertTop(TableRow::Status(1, false));
  table.DeleteAllItems();
  EXPECT_EQ(observer.calls, (std::vector<std::string>{"before-insert 0", "after-insert 1",
                                                      "before-clear 1", "after-clear 0"}));
}

TEST(TableRow, KeepsTimeAndKind) {
  const struct {
    TableRow row;
    Seconds time;
    TableRow::Kind kind;
  } cases[] = {
      {TableRow::Result(1057241109, {1, 2, 3, 4}), 1057241109, TableRow::Kind::Result},
      {TableRow::Status(4102444800, false), 4102444800, TableRow::Kind::Lost},  // 2100
      {TableRow::Status(-86400, true), -86400, TableRow::Kind::Back},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.row.Time(), c.time);
    EXPECT_EQ(c.row.GetKind(), c.kind);
  }
  EXPECT_EQ(cases[0].row.GetTotals(), (Totals{1, 2, 3, 4}));
}

}  // namespace
}  // namespace linkwatch
