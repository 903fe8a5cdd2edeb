#include <QCheckBox>
#include <QPushButton>
#include <QtCharts/QChart>
#include <QtCharts/QXYSeries>

#include "frames.h"
#include "ui/link_quality.h"
#include "window_fixture.h"

namespace linkwatch::testing {
namespace {

class LinkQualityTest : public WindowTest {
 protected:
  void Tick(const std::vector<std::uint8_t>& bytes) {
    if (!bytes.empty()) serial.Push(bytes);
    dlg.OnTimer(ID_TICK_TIMER);
  }
};

TEST_F(LinkQualityTest, ItemBelowAboutOpensALiveWindowThatClosingLeavesAlone) {
  Init();
  LinkQuality quality(window, dlg);
  const QList<QAction*> items = window.Menu().actions();
  ASSERT_GE(items.size(), 2);
  EXPECT_EQ(items[items.size() - 2], Item(IDM_ABOUTBOX));
  EXPECT_EQ(items.back()->text(), "Link Quality...");

  StartTest();
  Tick(EncodeFrame({100, 50, 0, 0}));  // severely errored
  Tick(EncodeFrame({100, 1, 4, 0}));   // errored
  // Opened in the middle of the test, it shows the seconds before it.
  emit window.Menu().commandChosen(LinkQuality::kCommand);
  LinkQualityWindow* lq = quality.Window();
  ASSERT_NE(lq, nullptr);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(lq));
  EXPECT_TRUE(lq->FiguresText().contains("ES (errored seconds): 2"))
      << lq->FiguresText().toStdString();
  EXPECT_TRUE(lq->FiguresText().contains("SES (severely errored seconds): 1"));

  // Each tick marks it for a redraw that follows from the event loop.
  Tick(EncodeFrame({100, 0, 0, 1}));
  EXPECT_TRUE(
      QTest::qWaitFor([&] { return lq->FiguresText().contains("ES (errored seconds): 3"); }, 5000))
      << lq->FiguresText().toStdString();
  EXPECT_FALSE(lq->Chart().series().isEmpty());

  lq->close();
  EXPECT_TRUE(dlg.IsRunning());
  Tick(EncodeFrame({100, 0, 0, 0}));
  dlg.StopTest();
  EXPECT_EQ(dlg.CurrentTotals().packets, 400.0);
}

TEST_F(LinkQualityTest, CsvSwitchAppliesToTheNextTestAndThePdfIsSaved) {
  Init();
  LinkQuality quality(window, dlg);
  quality.Show();
  LinkQualityWindow* lq = quality.Window();
  ASSERT_NE(lq, nullptr);
  EXPECT_TRUE(lq->CsvSwitch().isChecked());
  lq->CsvSwitch().setChecked(false);
  EXPECT_FALSE(dlg.CsvEnabled());
  StartTest();
  Tick(EncodeFrame({100, 0, 0, 0}));
  dlg.StopTest();
  EXPECT_FALSE(std::filesystem::exists(dir.File("log.csv")));

  const std::string pdf = dir.File("quality.pdf");
  lq->SetPdfPathChooser([&] { return QString::fromStdString(pdf); });
  lq->SavePdfButton().click();
  EXPECT_TRUE(ReadFile(pdf).starts_with("%PDF-"));
}

}  // namespace
}  // namespace linkwatch::testing
