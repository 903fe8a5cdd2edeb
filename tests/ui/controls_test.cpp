#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>

#include "ui/one_line_list.h"
#include "ui/push_like_check_box.h"
#include "ui/tick_timers.h"

namespace linkwatch {
namespace {

TEST(PushLikeCheckBox, AClickReportsItselfButKeepsTheState) {
  for (const bool checked : {false, true}) {
    PushLikeCheckBox box("START");
    box.setChecked(checked);
    QSignalSpy clicks(&box, &QAbstractButton::clicked);
    QTest::mouseClick(&box, Qt::LeftButton);
    EXPECT_EQ(box.isChecked(), checked) << "by the mouse";
    QTest::keyClick(&box, Qt::Key_Space);
    EXPECT_EQ(box.isChecked(), checked) << "by the keyboard";
    EXPECT_EQ(clicks.count(), 2);
    // Only the program sets it.
    box.setChecked(!checked);
    EXPECT_EQ(box.isChecked(), !checked);
  }
}

TEST(OneLineList, InsertsBeforeAnIndexAndAppendsOutsideTheList) {
  OneLineList list;
  list.Insert(0, "b");
  list.Insert(0, "a");
  list.Insert(-1, "d");
  list.Insert(99, "e");
  list.Insert(2, "c");
  QStringList texts;
  for (int i = 0; i < list.count(); ++i) texts << list.item(i)->text();
  EXPECT_EQ(texts, (QStringList{"a", "b", "c", "d", "e"}));
  EXPECT_EQ(list.focusPolicy(), Qt::NoFocus);
  EXPECT_EQ(list.selectionMode(), QAbstractItemView::NoSelection);
}

TEST(TickTimers, SettingAgainRestartsOneTimerAndKillingStopsIt) {
  std::vector<int> ticks;
  TickTimers timers([&](int id) { ticks.push_back(id); });
  timers.Set(7, 60000);
  timers.Set(8, 60000);
  timers.Set(7, 1);  // the same timer, now fast: not a second one, and not timer 8
  EXPECT_EQ(timers.Interval(7), 1);
  EXPECT_EQ(timers.Interval(8), 60000);
  ASSERT_TRUE(QTest::qWaitFor([&] { return ticks.size() >= 3; }, 3000));
  EXPECT_EQ(std::count(ticks.begin(), ticks.end(), 7), static_cast<long>(ticks.size()))
      << "only timer 7 is fast, and each tick names its own timer";

  timers.Kill(7);
  timers.Kill(9);  // never set: nothing happens
  EXPECT_FALSE(timers.IsActive(7));
  EXPECT_EQ(timers.Interval(7), 0);
  EXPECT_TRUE(timers.IsActive(8)) << "killing one leaves the other";
  const std::size_t seen = ticks.size();
  QTest::qWait(30);
  EXPECT_EQ(ticks.size(), seen);
}

TEST(TickTimers, ATimerKilledInsideItsTickStops) {
  int ticks = 0;
  TickTimers* self = nullptr;
  TickTimers timers([&](int id) {
    ++ticks;
    self->Kill(id);
  });
  self = &timers;
  timers.Set(1, 1);
  ASSERT_TRUE(QTest::qWaitFor([&] { return ticks > 0; }, 3000));
  QTest::qWait(20);
  EXPECT_EQ(ticks, 1);
}

}  // namespace
}  // namespace linkwatch
