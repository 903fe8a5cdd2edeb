// Every text of the window fits its control at any dialog font size: the
// layout scales with the font, but rounding and the styles' fixed margins
// weigh most at the smallest and largest sizes (font DPI 48 and 60 make the
// 8-point dialog font 4 and 5 points at 96 DPI).
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QStyle>

#include "control/resource.h"
#include "ui/monitor_window.h"
#include "ui/status_line.h"

namespace linkwatch {
namespace {

// The widest texts each display shows.
const QString kStamp = QStringLiteral("28-08-2028   28:08:08");
const QString kElapsed = QStringLiteral("888d-28h-58m-58s");

QString Describe(int points) {
  return QStringLiteral("at %1 pt").arg(points);
}

class FontSizeTest : public ::testing::TestWithParam<int> {};

TEST_P(FontSizeTest, EveryTextFitsItsControl) {
  QFont font(QStringLiteral("MS Sans Serif"));
  font.setStyleHint(QFont::SansSerif);
  font.setPointSize(GetParam());
  MonitorWindow window(nullptr, font);
  window.show();
  const std::string at = Describe(GetParam()).toStdString();

  for (const int id : {IDC_START_TIME, IDC_STOP_TIME, IDC_ELAPSED}) {
    auto* list = qobject_cast<QListWidget*>(window.Control(id));
    ASSERT_NE(list, nullptr);
    const QString text = id == IDC_ELAPSED ? kElapsed : kStamp;
    // The item's text starts after its margin and must end inside the frame.
    const int margin = list->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, list) + 1;
    const QRect inside = list->viewport()->rect();
    EXPECT_GT(inside.width(), margin + QFontMetrics(list->font()).horizontalAdvance(text))
        << "list " << id << " " << at;
    EXPECT_GE(inside.height(), QFontMetrics(list->font()).height()) << "list " << id << " " << at;
  }

  auto* combo = qobject_cast<QComboBox*>(window.Control(IDC_DURATION));
  const QRect frame = window.Control(IDC_DURATION_GROUP)->geometry();
  EXPECT_LE(combo->geometry().bottom(), frame.bottom()) << "the list leaves its frame " << at;
  EXPECT_LT(combo->geometry().bottom(), window.Control(IDC_RESULTS)->geometry().top()) << at;
  EXPECT_GE(combo->height(), QFontMetrics(combo->font()).height() + 2) << at;

  for (const int id : {IDC_START, IDC_STOP}) {
    auto* button = qobject_cast<QAbstractButton*>(window.Control(id));
    EXPECT_GE(button->width(), QFontMetrics(button->font()).horizontalAdvance(button->text()))
        << id << " " << at;
    EXPECT_GE(button->height(), QFontMetrics(button->font()).height()) << id << " " << at;
  }
  for (QGroupBox* group : window.findChildren<QGroupBox*>()) {
    EXPECT_GE(group->width(), QFontMetrics(group->font()).horizontalAdvance(group->title()) + 8)
        << group->title().toStdString() << " " << at;
  }
  auto* log = qobject_cast<QLabel*>(window.Control(IDC_LOG_FILE));
  EXPECT_GE(log->height(), QFontMetrics(log->font()).height()) << at;
  EXPECT_GE(window.Status().height(), QFontMetrics(window.Status().font()).height()) << at;
}

INSTANTIATE_TEST_SUITE_P(Points, FontSizeTest, ::testing::Values(4, 5, 6, 8, 10, 12, 16, 20, 24));

}  // namespace
}  // namespace linkwatch
