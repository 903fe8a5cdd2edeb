#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QTest>

#include "ui/dialog_font.h"
#include "ui/results_model.h"
#include "ui/results_view.h"

namespace linkwatch {
namespace {

// Collects what the model tester reports; it reports through qWarning.
class ModelWarnings {
 public:
  ModelWarnings() {
    s_messages.clear();
    m_previous = qInstallMessageHandler(&Collect);
  }
  ~ModelWarnings() { qInstallMessageHandler(m_previous); }
  const QStringList& Messages() const { return s_messages; }

 private:
  static void Collect(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type != QtDebugMsg && type != QtInfoMsg) s_messages << text;
  }
  static inline QStringList s_messages;
  QtMessageHandler m_previous;
};

constexpr Seconds kNoon = 1057233909;  // 3 July 2003, 12:05:09 UTC (TZ=UTC)

TEST(ResultsModel, PassesTheModelTesterWhileRowsComeAndGo) {
  ResultsTable table;
  table.InsertTop(TableRow::Result(kNoon, {1, 2, 3, 4}));  // there before the model
  ModelWarnings warnings;
  ResultsModel model(table);
  QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Warning);
  ResultsView view;
  view.setModel(&model);

  // A day apart, so that even the first column tells the rows apart.
  constexpr Seconds kDay = 86400;
  for (int i = 1; i <= 5; ++i)
    table.InsertTop(TableRow::Result(kNoon + i * kDay, {10.0 * i, 0, 0, 0}));
  table.InsertTop(TableRow::Status(kNoon + 6 * kDay, false));
  EXPECT_EQ(model.rowCount(), 7);
  table.DeleteAllItems();
  EXPECT_EQ(model.rowCount(), 0);
  table.DeleteAllItems();
  table.InsertTop(TableRow::Status(kNoon, true));
  EXPECT_EQ(model.rowCount(), 1);
  EXPECT_TRUE(warnings.Messages().isEmpty()) << warnings.Messages().join('\n').toStdString();
}

TEST(ResultsModel, ShowsNewestFirstWithTheCellTextsAndAlignments) {
  ResultsTable table;
  ResultsModel model(table);
  table.InsertTop(TableRow::Result(kNoon, {0, 0, 0, 0}));
  table.InsertTop(TableRow::Status(kNoon + 61, false));
  table.InsertTop(TableRow::Result(kNoon + 62, {1234567890.0, 7, 0, 1}));

  const auto text = [&](int row, int column) { return model.index(row, column).data().toString(); };
  EXPECT_EQ(text(0, 0), "03-07-2003");
  EXPECT_EQ(text(0, 1), "12:06:11");
  EXPECT_EQ(text(0, 2), "1.235e+009");
  EXPECT_EQ(text(0, 3), "        7");
  EXPECT_EQ(text(1, 2), "RS-232  Lost");
  EXPECT_EQ(text(1, 3), "");
  EXPECT_EQ(text(2, 1), "12:05:09");
  EXPECT_EQ(text(2, 5), "        0");

  const QStringList headings{"Date", "Time", "No. Packets", "ucERR", "cERR", "Sync Loss"};
  ASSERT_EQ(model.columnCount(), headings.size());
  for (int column = 0; column < model.columnCount(); ++column) {
    EXPECT_EQ(model.headerData(column, Qt::Horizontal).toString(), headings[column]);
    const auto align = model.index(0, column).data(Qt::TextAlignmentRole).value<Qt::Alignment>();
    const Qt::Alignment expected = column < 2 ? Qt::AlignLeft : Qt::AlignRight;
    EXPECT_EQ(align & Qt::AlignHorizontal_Mask, expected) << column;
    EXPECT_EQ(
        model.headerData(column, Qt::Horizontal, Qt::TextAlignmentRole).value<Qt::Alignment>() &
            Qt::AlignHorizontal_Mask,
        expected)
        << column;
  }
  EXPECT_FALSE(model.flags(model.index(0, 0)).testFlag(Qt::ItemIsEditable));
}

TEST(ResultsView, ColumnsHaveTheirPixelWidthsUnlessTheFontNeedsMore) {
  ResultsTable table;
  ResultsModel model(table);
  const int widths[] = {60, 60, 90, 70, 70, 70};
  const char* widest[] = {"28-12-2003", "23:59:58",   "RS-232  Lost",
                          "1.235e+009", "1000000000", "1.235e+009"};

  // A small font: every column has exactly its own width.
  ResultsView narrow;
  QFont small = DialogFont();
  small.setPixelSize(7);
  narrow.setFont(small);
  narrow.setModel(&model);
  for (int column = 0; column < 6; ++column) EXPECT_EQ(narrow.columnWidth(column), widths[column]);

  // The dialog font here may be wider than the one the widths were made for:
  // no column gets narrower, and none cuts its longest text.
  ResultsView view;
  view.setFont(DialogFont());
  view.setModel(&model);
  for (int column = 0; column < 6; ++column) {
    EXPECT_GE(view.columnWidth(column), widths[column]) << column;
    EXPECT_GT(view.columnWidth(column), view.fontMetrics().horizontalAdvance(widest[column]))
        << column;
  }
  EXPECT_FALSE(view.isSortingEnabled());
  EXPECT_FALSE(view.verticalHeader()->isVisible());
}

// Counts the texts the view asks for.
class CountingModel : public ResultsModel {
 public:
  using ResultsModel::ResultsModel;
  QVariant data(const QModelIndex& index, int role) const override {
    if (role == Qt::DisplayRole) ++displayCalls;
    return ResultsModel::data(index, role);
  }
  mutable long displayCalls = 0;
};

// A week's test may leave millions of rows: the view must ask only for the
// rows it shows, never walk them all.
TEST(ResultsView, AsksOnlyForVisibleRowsOfAMillion) {
  ResultsTable table;
  CountingModel model(table);
  ResultsView view;
  view.resize(460, 190);
  const auto askedPerPaint = [&] {
    view.scrollToBottom();
    model.displayCalls = 0;
    view.grab();
    return model.displayCalls;
  };
  const long visibleCells = 6L * (view.height() / view.verticalHeader()->defaultSectionSize() + 2);
  const auto fill = [&](int rows) {
    view.setModel(nullptr);  // filled unwatched, as a running test never does in bulk
    while (table.Count() < static_cast<std::size_t>(rows)) {
      const auto i = static_cast<Seconds>(table.Count());
      table.InsertTop(TableRow::Result(kNoon + i, {1.0 * i, 0, 0, 0}));
    }
    view.setModel(&model);
  };
  view.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));

  // A few thousand rows first: work per row shows here already, and fast.
  fill(5'000);
  ASSERT_LE(askedPerPaint(), 2 * visibleCells) << "rows asked for beyond the visible ones";
  fill(1'000'000);
  EXPECT_LE(askedPerPaint(), 2 * visibleCells);
  // A new row at the top, with the view on screen.
  table.InsertTop(TableRow::Status(kNoon, true));
  EXPECT_EQ(model.rowCount(), 1'000'001);
  const long asked = askedPerPaint();
  EXPECT_GT(asked, 0);
  EXPECT_LE(asked, 2 * visibleCells);
}

}  // namespace
}  // namespace linkwatch
