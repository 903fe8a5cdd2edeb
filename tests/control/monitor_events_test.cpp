#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <vector>

#include "control/resource.h"
#include "dlg_fixture.h"
#include "recording_observer.h"

namespace linkwatch::testing {
namespace {

using Order = std::vector<std::string>;

class EventsTest : public DlgTest {
 protected:
  void SetUp() override {
    DlgTest::SetUp();
    dlg.AddObserver(&events);
  }
  void TearDown() override { dlg.RemoveObserver(&events); }

  RecordingObserver events;
};

TEST_F(EventsTest, AWholeTestInTheOrderItHappens) {
  Start();
  const Seconds start = platform.now;
  ASSERT_EQ(events.started.size(), 1u);
  EXPECT_EQ(events.started[0].port, "COM1");
  EXPECT_EQ(events.started[0].logPath, logPath);
  EXPECT_EQ(events.started[0].duration, 0);
  EXPECT_EQ(events.started[0].start, start);
  EXPECT_EQ(events.order, (Order{"started", "row"}));

  // One error frame and one clean one in the same second.
  serial.Push(Concat({EncodeFrame({100, 2, 3, 1}), EncodeFrame({50, 0, 0, 0})}));
  Tick();
  ASSERT_EQ(events.ticks.size(), 1u);
  const TickRecord& t = events.ticks[0];
  EXPECT_EQ(t.time, start + 1);
  EXPECT_EQ(t.elapsed, 1);
  EXPECT_EQ(t.counts, (Totals{150, 2, 3, 1}));
  EXPECT_EQ(t.frames, 2u);
  EXPECT_EQ(t.line, LineState::Up);

  Tick();  // quiet
  Tick();  // quiet again: the loss is declared
  serial.Push(EncodeFrame({7, 0, 0, 0}));
  Tick();  // back
  dlg.StopTest();

  EXPECT_EQ(events.order, (Order{"started", "row",       // start
                                 "row", "tick",          // the error frame
                                 "tick",                 // quiet
                                 "row", "lost", "tick",  // lost
                                 "row", "back", "tick",  // back
                                 "row", "stopped"}));    // stop
  ASSERT_EQ(events.ticks.size(), 4u);
  EXPECT_EQ(events.ticks[1].line, LineState::Quiet);
  EXPECT_EQ(events.ticks[1].frames, 0u);
  EXPECT_EQ(events.ticks[2].line, LineState::Lost);
  EXPECT_EQ(events.ticks[3].line, LineState::Up);
  EXPECT_EQ(events.ticks[3].counts, (Totals{7, 0, 0, 0}));
  EXPECT_EQ(events.lost, (std::vector<Seconds>{start + 3}));
  EXPECT_EQ(events.back, (std::vector<Seconds>{start + 4}));
  // The rows told are the table's rows, oldest first.
  ASSERT_EQ(events.rows.size(), dlg.Results().Count());
  for (std::size_t i = 0; i < events.rows.size(); ++i) {
    const TableRow& table = dlg.Results().At(events.rows.size() - 1 - i);
    EXPECT_EQ(events.rows[i].GetKind(), table.GetKind());
    EXPECT_EQ(events.rows[i].Time(), table.Time());
    EXPECT_EQ(events.rows[i].GetTotals(), table.GetTotals());
  }
  ASSERT_EQ(events.stops.size(), 1u);
  EXPECT_EQ(events.stops[0].why, StopReason::Stop);
  EXPECT_EQ(events.stops[0].time, start + 4);
}

TEST_F(EventsTest, EachWayOfStoppingGivesItsReason) {
  struct Case {
    const char* name;
    StopReason why;
  };
  Init();
  for (const Case c : {Case{"stop", StopReason::Stop}, Case{"duration", StopReason::Duration},
                       Case{"exit", StopReason::Exit}, Case{"signal", StopReason::Signal}}) {
    SCOPED_TRACE(c.name);
    events = {};
    if (c.why == StopReason::Duration) {
      platform.ComboSetCurSel(IDC_DURATION, 1);  // 15 minutes
      dlg.OnSelchangeDuration();
    }
    if (dlg.IsRunning()) dlg.StopTest();
    events = {};
    if (FileExists(logPath)) platform.Answer(BoxAnswer::Yes);  // overwrite the last test's log
    dlg.OnStart();
    ASSERT_TRUE(dlg.IsRunning());
    switch (c.why) {
      case StopReason::Stop:
        platform.Answer(BoxAnswer::Yes);
        dlg.OnStop();
        break;
      case StopReason::Duration:
        Tick(900);
        break;
      case StopReason::Exit:
        platform.Answer(BoxAnswer::Yes);
        dlg.OnCancel();
        break;
      case StopReason::Signal:
        dlg.StopTest(StopReason::Signal);
        break;
    }
    EXPECT_FALSE(dlg.IsRunning());
    ASSERT_EQ(events.stops.size(), 1u);
    EXPECT_EQ(events.stops[0].why, c.why);
    // The duration's last tick polls nothing and makes no record.
    if (c.why == StopReason::Duration) {
      EXPECT_TRUE(events.ticks.empty());
    }
  }
}

TEST_F(EventsTest, AStartThatFailsSaysWhyInTypedTerms) {
  Init();
  // The port is busy.
  serial.failOpen = true;
  serial.failure = {SerialError::Busy, EWOULDBLOCK, "/dev/ttyS0"};
  dlg.OnStart();
  ASSERT_EQ(events.startFailures.size(), 1u);
  EXPECT_EQ(events.startFailures[0].code, StartError::Port);
  EXPECT_EQ(events.startFailures[0].sysErrno, EWOULDBLOCK);
  EXPECT_EQ(events.startFailures[0].subject, "COM1");
  EXPECT_EQ(events.startFailures[0].facts.code, SerialError::Busy);
  EXPECT_EQ(events.startFailures[0].facts.subject, "/dev/ttyS0");

  // The log exists now; the user keeps it and picks no other file.
  platform.Answer(BoxAnswer::No);
  platform.saveAnswer = "";
  dlg.OnStart();
  ASSERT_EQ(events.startFailures.size(), 2u);
  EXPECT_EQ(events.startFailures[1].code, StartError::Cancelled);
  EXPECT_EQ(events.startFailures[1].subject, logPath);

  // The log's folder does not exist.
  const std::string nowhere = dir.File("gone/results.txt");
  dlg.SetLogPath(nowhere);
  dlg.OnStart();
  ASSERT_EQ(events.startFailures.size(), 3u);
  EXPECT_EQ(events.startFailures[2].code, StartError::Log);
  EXPECT_EQ(events.startFailures[2].sysErrno, ENOENT);
  EXPECT_EQ(events.startFailures[2].subject, nowhere);

  EXPECT_TRUE(events.started.empty());
  EXPECT_TRUE(events.stops.empty());
}

TEST_F(EventsTest, ARemovedObserverHearsNothingMore) {
  RecordingObserver second;
  dlg.AddObserver(&second);
  Start();
  dlg.RemoveObserver(&second);
  dlg.StopTest();
  EXPECT_EQ(second.order, (Order{"started", "row"}));
  EXPECT_EQ(events.order, (Order{"started", "row", "row", "stopped"}));
}

TEST_F(EventsTest, TheSleepLockIsHeldFromTheStartToTheStopOnly) {
  Init();
  serial.failOpen = true;
  dlg.OnStart();
  EXPECT_EQ(sleepLock.acquires, 0) << "a start that fails takes no lock";

  serial.failOpen = false;
  platform.Answer(BoxAnswer::Yes);
  dlg.OnStart();
  EXPECT_TRUE(sleepLock.held);
  EXPECT_TRUE(dlg.HoldsSleepLock());
  Tick();
  EXPECT_EQ(sleepLock.acquires, 1);
  dlg.StopTest();
  EXPECT_FALSE(sleepLock.held);
  EXPECT_EQ(sleepLock.releases, 1);
}

}  // namespace
}  // namespace linkwatch::testing
