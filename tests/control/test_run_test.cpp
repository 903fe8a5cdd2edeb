#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "control/stamp_texts.h"
#include "dlg_fixture.h"
#include "record/log_path.h"

namespace linkwatch::testing {
namespace {

using Kind = TableRow::Kind;

class RunTest : public DlgTest {
 protected:
  std::vector<std::string> Questions() const {
    std::vector<std::string> q;
    for (const auto& b : platform.boxes) {
      if (b.kind == BoxKind::YesNoAsk) q.push_back(b.text);
    }
    return q;
  }
  void ChooseDuration(int index) {
    platform.ComboSetCurSel(IDC_DURATION, index);
    dlg.OnSelchangeDuration();
  }
};

TEST_F(RunTest, StartSetsTheRunningState) {
  Start();
  EXPECT_TRUE(platform.checked[IDC_START]);
  EXPECT_TRUE(platform.visible[IDC_STOP]);
  EXPECT_EQ(platform.timers.at(ID_TICK_TIMER), 1000);
  EXPECT_EQ(List(IDC_ELAPSED), std::vector<std::string>{"00d-00h-00m-00s"});
  EXPECT_EQ(List(IDC_START_TIME), std::vector<std::string>{"03-07-2003   14:05:09"});
  EXPECT_TRUE(List(IDC_STOP_TIME).empty());
  EXPECT_EQ(serial.openedPort, 1);
  EXPECT_EQ(serial.openedBaud, 9600);
  for (unsigned cmd : {IDM_COM1, IDM_COM2, IDM_COM3, IDM_COM4})
    EXPECT_FALSE(platform.FindMenu(cmd)->enabled);
  EXPECT_TRUE(platform.FindMenu(IDM_ABOUTBOX)->enabled);
  EXPECT_TRUE(Questions().empty());  // a new log is created without a question
  ASSERT_EQ(RowKinds(), std::vector<Kind>{Kind::Result});
  EXPECT_EQ(dlg.Results().At(0).GetTotals(), Totals{});
}

TEST_F(RunTest, ControlStatesWhileRunningAndAfterAStop) {
  struct Expect {
    int id;
    bool running;
    bool stopped;
  };
  const Expect table[] = {
      {IDC_DURATION, false, true},    {IDC_DURATION_GROUP, false, true},
      {IDC_START_GROUP, true, false}, {IDC_START_TIME, true, false},
      {IDC_STOP_GROUP, false, true},  {IDC_ELAPSED_GROUP, true, false},
      {IDC_ELAPSED, true, false},
  };
  Start();
  for (const Expect& e : table) EXPECT_EQ(platform.enabled[e.id], e.running) << e.id;
  dlg.StopTest();
  for (const Expect& e : table) EXPECT_EQ(platform.enabled[e.id], e.stopped) << e.id;
  EXPECT_FALSE(platform.checked[IDC_START]);
  EXPECT_FALSE(platform.visible[IDC_STOP]);
  EXPECT_TRUE(platform.timers.empty());
  EXPECT_FALSE(serial.opened);
  for (unsigned cmd : {IDM_COM1, IDM_COM2, IDM_COM3, IDM_COM4})
    EXPECT_TRUE(platform.FindMenu(cmd)->enabled);
  EXPECT_TRUE(platform.FindMenu(IDM_COM1)->checked);
  EXPECT_FALSE(platform.enabled.contains(IDC_STOP_TIME));  // never touched
}

TEST_F(RunTest, StartDuringATestAndStopWhileIdleDoNothing) {
  Init();
  dlg.OnStop();  // idle: no question
  EXPECT_TRUE(platform.boxes.empty());
  dlg.OnStart();
  const auto boxes = platform.boxes.size();
  dlg.OnStart();
  EXPECT_EQ(platform.boxes.size(), boxes);
  EXPECT_TRUE(platform.checked[IDC_START]);
  EXPECT_EQ(serial.opens, 1);
  EXPECT_EQ(dlg.Results().Count(), 1u);
}

TEST_F(RunTest, EnterStartsOnlyWithTheFocusOnStart) {
  Init();
  platform.focus = IDC_DURATION;
  dlg.OnOK();
  EXPECT_FALSE(dlg.IsRunning());
  EXPECT_EQ(platform.endResult, 0);
  platform.focus = IDC_START;
  dlg.OnOK();
  EXPECT_TRUE(dlg.IsRunning());
  EXPECT_EQ(platform.endResult, 0);
}

TEST_F(RunTest, ExistingLogIsAskedAboutAtEveryStart) {
  WriteFile(logPath, "old");
  Init();
  platform.Answer(BoxAnswer::Yes);
  dlg.OnStart();
  dlg.StopTest();
  platform.Answer(BoxAnswer::Yes);
  dlg.OnStart();
  EXPECT_EQ(Questions(),
            (std::vector<std::string>{"Overwrite Existing File?", "Overwrite Existing File?"}));
  EXPECT_TRUE(dlg.IsRunning());
}

TEST_F(RunTest, DecliningAndCancellingTheFileDialogChangesNothing) {
  WriteFile(logPath, "old");
  Init();
  platform.Answer(BoxAnswer::No);
  platform.saveAnswer = "";
  dlg.OnStart();
  EXPECT_FALSE(dlg.IsRunning());
  EXPECT_EQ(platform.saveDialogs, 1);
  EXPECT_EQ(platform.lastSaveRequest.title, "Select Log File");
  EXPECT_EQ(platform.lastSaveRequest.initialName, "results.txt");
  EXPECT_EQ(dlg.LogPath(), logPath);
  EXPECT_EQ(ReadFile(logPath), "old");
  EXPECT_EQ(serial.opens, 0);
}

TEST_F(RunTest, DecliningAndChoosingAnotherFileWritesThere) {
  WriteFile(logPath, "old");
  Init();
  const std::string other = dir.File("other.txt");
  platform.Answer(BoxAnswer::No);
  platform.saveAnswer = other;
  dlg.OnStart();
  EXPECT_TRUE(dlg.IsRunning());
  EXPECT_EQ(dlg.LogPath(), other);
  EXPECT_EQ(platform.texts[IDC_LOG_FILE], dlg.LogDisplay());
  EXPECT_EQ(platform.texts[IDC_LOG_FILE], ShortenedLogDisplay(other));
  EXPECT_EQ(ReadFile(logPath), "old");
  EXPECT_TRUE(ReadFile(other).starts_with("   Date"));
}

// A log that cannot be created where it is (its folder removed or read-only)
// is no dead end: the save dialog is offered after "Cannot open ...", again
// after every file that cannot be opened either, until one opens or the user
// cancels.
TEST_F(RunTest, ALogThatCannotBeCreatedOffersTheSaveDialog) {
  struct Case {
    const char* name;
    std::vector<std::string> saveAnswers;  // "" cancels; "gone" names a file in no folder
    bool runs;
    int cannotOpenBoxes;
  };
  const Case cases[] = {
      {"another file", {"other.txt"}, true, 1},
      {"cancelled", {""}, false, 1},
      {"another bad one, then a good one", {"gone", "other.txt"}, true, 2},
      {"another bad one, then cancelled", {"gone", ""}, false, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir here;
    const std::string unwritable = here.File("removed/results.txt");  // no such folder
    CMonitorDlg fresh{platform, serial};
    platform.boxes.clear();
    platform.saveDialogs = 0;
    fresh.OnInitDialog();
    fresh.SetLogPath(unwritable);
    for (const std::string& a : c.saveAnswers) {
      platform.saveAnswers.push_back(a.empty() ? a : a == "gone" ? unwritable : here.File(a));
    }
    fresh.OnStart();
    EXPECT_EQ(fresh.IsRunning(), c.runs);
    EXPECT_EQ(platform.saveDialogs, static_cast<int>(c.saveAnswers.size()));
    EXPECT_TRUE(platform.saveAnswers.empty());
    int cannotOpen = 0;
    for (const auto& box : platform.boxes) {
      if (box.text == "Cannot open " + unwritable) ++cannotOpen;
    }
    EXPECT_EQ(cannotOpen, c.cannotOpenBoxes);
    if (c.runs) {
      EXPECT_EQ(fresh.LogPath(), here.File("other.txt"));
      EXPECT_EQ(platform.texts[IDC_LOG_FILE], ShortenedLogDisplay(here.File("other.txt")));
      EXPECT_TRUE(ReadFile(here.File("other.txt")).starts_with("   Date"));
      EXPECT_TRUE(serial.opened);
      fresh.StopTest();
    } else {
      EXPECT_EQ(fresh.LogPath(), unwritable);  // a cancel changes nothing
      EXPECT_FALSE(serial.opened);
    }
  }
}

TEST_F(RunTest, DurationChoices) {
  Init();
  const int seconds[] = {0, 900, 1800, 3600, 7200, 14400, 43200, 86400, 172800, 604800};
  for (int i = 0; i < 10; ++i) {
    ChooseDuration(i);
    EXPECT_EQ(dlg.Duration(), seconds[i]);
  }
  ChooseDuration(3);
  ChooseDuration(-1);  // no selection: unchanged
  EXPECT_EQ(dlg.Duration(), 3600);
  ChooseDuration(10);
  EXPECT_EQ(dlg.Duration(), 0);
}

TEST_F(RunTest, ContinuousNeverStopsByItself) {
  Start();
  for (int day = 0; day < 8; ++day) Tick(86400);
  EXPECT_TRUE(dlg.IsRunning());
  EXPECT_EQ(List(IDC_ELAPSED), std::vector<std::string>{"08d-00h-00m-00s"});
}

TEST_F(RunTest, FifteenMinutesStopOnTheTick900SecondsAfterTheStart) {
  Init();
  ChooseDuration(1);
  dlg.OnStart();
  const Seconds start = platform.now;
  for (int i = 0; i < 899; ++i) {
    serial.Push(EncodeFrame({10, 0, 0, 0}));
    Tick();
  }
  EXPECT_TRUE(dlg.IsRunning());
  serial.Push(EncodeFrame({0, 1, 0, 0}));  // arrives for the tick that ends the test
  Tick();
  EXPECT_FALSE(dlg.IsRunning());
  EXPECT_EQ(List(IDC_ELAPSED), std::vector<std::string>{"00d-00h-15m-00s"});
  EXPECT_EQ(List(IDC_STOP_TIME), std::vector<std::string>{StampText(start + 900)});
  EXPECT_EQ(serial.queue.size(), 9u);  // that tick did not poll
  ASSERT_EQ(RowKinds(), (std::vector<Kind>{Kind::Result, Kind::Result}));
  EXPECT_EQ(dlg.Results().At(0).Time(), start + 900);
  EXPECT_EQ(dlg.Results().At(0).GetTotals(), (Totals{8990, 0, 0, 0}));
  EXPECT_EQ(dlg.Results().At(1).Time(), start);
  Tick();  // a late tick changes nothing
  EXPECT_EQ(dlg.Results().Count(), 2u);
  EXPECT_EQ(List(IDC_ELAPSED), std::vector<std::string>{"00d-00h-15m-00s"});
}

TEST_F(RunTest, LateTicksStillStopOnTime) {
  Init();
  ChooseDuration(1);
  dlg.OnStart();
  Tick(600);  // the machine was busy
  EXPECT_TRUE(dlg.IsRunning());
  Tick(400);
  EXPECT_FALSE(dlg.IsRunning());
  EXPECT_EQ(List(IDC_ELAPSED), std::vector<std::string>{"00d-00h-16m-40s"});
}

// Someone sets the calendar clock during a 15-minute test: rows and stamps
// follow it, but the elapsed time and the stop follow the clock that never
// steps.
struct ClockStep {
  const char* name;
  int at;    // after this many ticks, the calendar clock moves by...
  int by;    // ...this many seconds
  int back;  // after this many ticks it moves back by the same; 0 for never
};

class ClockStepTest : public RunTest, public ::testing::WithParamInterface<ClockStep> {};

TEST_P(ClockStepTest, TheTestEndsAfterItsDurationAllTheSame) {
  const ClockStep step = GetParam();
  Init();
  ChooseDuration(1);
  dlg.OnStart();
  for (int i = 1; i <= 900; ++i) {
    if (i == step.at) platform.now += step.by;
    if (i == step.back) platform.now -= step.by;
    ASSERT_TRUE(dlg.IsRunning()) << "stopped after " << i - 1 << " s";
    serial.Push(EncodeFrame({1, i == step.at ? 1u : 0u, 0, 0}));
    Tick();
    if (i == step.at) {
      // The row of that second carries the calendar time as it now reads.
      EXPECT_EQ(dlg.Results().At(0).Time(), platform.now);
    }
    if (i < 900) {
      EXPECT_EQ(List(IDC_ELAPSED), std::vector<std::string>{ElapsedText(i)});
    }
  }
  EXPECT_FALSE(dlg.IsRunning());
  EXPECT_EQ(List(IDC_ELAPSED), std::vector<std::string>{"00d-00h-15m-00s"});
  EXPECT_EQ(List(IDC_STOP_TIME), std::vector<std::string>{StampText(platform.now)});
  EXPECT_EQ(dlg.Results().At(0).Time(), platform.now);
}

INSTANTIATE_TEST_SUITE_P(RunTest, ClockStepTest,
                         ::testing::Values(ClockStep{"AnHourAheadAndBack", 5, 3600, 10},
                                           ClockStep{"AnHourAheadForGood", 5, 3600, 0},
                                           ClockStep{"FiveSecondsBack", 1, -5, 0},
                                           ClockStep{"AnHourBackAndForth", 300, -3600, 600}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(RunTest, StopStampIsOneAndIsEmptiedAtTheNextStart) {
  Start();
  Tick(10);
  platform.Answer(BoxAnswer::No);
  dlg.OnStop();
  EXPECT_TRUE(dlg.IsRunning());
  platform.Answer(BoxAnswer::Yes);
  dlg.OnStop();
  EXPECT_FALSE(dlg.IsRunning());
  EXPECT_EQ(List(IDC_STOP_TIME).size(), 1u);
  platform.Answer(BoxAnswer::Yes);  // overwrite
  dlg.OnStart();
  EXPECT_TRUE(List(IDC_STOP_TIME).empty());
}

TEST_F(RunTest, RowsOfATestFromTheTopDown) {
  Start();
  serial.Push(Concat({EncodeFrame({5, 1, 0, 0}), EncodeFrame({5, 0, 2, 0})}));
  Tick();
  dlg.StopTest();
  ASSERT_EQ(dlg.Results().Count(), 4u);
  EXPECT_EQ(dlg.Results().At(0).GetTotals(), (Totals{10, 1, 2, 0}));  // final
  EXPECT_EQ(dlg.Results().At(1).GetTotals(), (Totals{10, 1, 2, 0}));
  EXPECT_EQ(dlg.Results().At(2).GetTotals(), (Totals{5, 1, 0, 0}));
  EXPECT_EQ(dlg.Results().At(3).GetTotals(), Totals{});  // start
  // The next start begins from zero with an empty table.
  platform.Answer(BoxAnswer::Yes);
  dlg.OnStart();
  EXPECT_EQ(dlg.Results().Count(), 1u);
  EXPECT_EQ(dlg.CurrentTotals(), Totals{});
}

TEST_F(RunTest, ExitQuestions) {
  Init();
  platform.Answer(BoxAnswer::No);
  dlg.OnCancel();
  EXPECT_EQ(platform.endResult, 0);
  dlg.OnStart();
  platform.Answer(BoxAnswer::No);
  dlg.OnCancel();
  EXPECT_TRUE(dlg.IsRunning());
  EXPECT_EQ(platform.endResult, 0);
  platform.Answer(BoxAnswer::Yes);
  dlg.OnCancel();
  EXPECT_FALSE(dlg.IsRunning());
  EXPECT_EQ(platform.endResult, IDCANCEL);
  EXPECT_EQ(Questions(),
            (std::vector<std::string>{"Exit Application?", "Stop Test and Exit Application?",
                                      "Stop Test and Exit Application?"}));
  EXPECT_TRUE(Log().ends_with("         0 "));  // the final row went to the log before it closed
  EXPECT_EQ(dlg.Results().Count(), 2u);
}

TEST_F(RunTest, IdleExitAnsweredYesEndsTheDialog) {
  Init();
  platform.Answer(BoxAnswer::Yes);
  dlg.OnCancel();
  EXPECT_EQ(platform.endResult, IDCANCEL);
}

// While a question is open its nested loop goes on ticking, and the duration
// can end the test before the answer. The stale question is then closed, the
// test is stopped once only, and leaving is still asked about.
TEST_F(RunTest, DurationEndingUnderAnOpenQuestionClosesIt) {
  struct Case {
    const char* name;
    bool exiting;
    BoxAnswer exitAnswer;  // to the "Exit Application?" asked afterwards
    std::vector<std::string> questions;
    int endResult;
  };
  const Case cases[] = {
      {"stop", false, BoxAnswer::No, {"Stop Test?"}, 0},
      {"exit, then yes",
       true,
       BoxAnswer::Yes,
       {"Stop Test and Exit Application?", "Exit Application?"},
       IDCANCEL},
      {"exit, then no",
       true,
       BoxAnswer::No,
       {"Stop Test and Exit Application?", "Exit Application?"},
       0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    platform.notices.clear();
    platform.boxes.clear();
    platform.endResult = 0;
    platform.dismissals = 0;
    Init();
    ChooseDuration(1);
    if (FileExists(logPath)) platform.Answer(BoxAnswer::Yes);
    dlg.OnStart();
    platform.boxes.clear();
    Tick(899);
    // The user would have answered Yes, had the box still been there.
    platform.Answer(BoxAnswer::Yes, [&] { Tick(); });
    if (c.exiting) {
      platform.Answer(c.exitAnswer);
      dlg.OnCancel();
    } else {
      dlg.OnStop();
    }
    EXPECT_EQ(platform.dismissals, 1);
    EXPECT_EQ(Questions(), c.questions);
    EXPECT_EQ(platform.endResult, c.endResult);
    EXPECT_FALSE(dlg.IsRunning());
    EXPECT_EQ(List(IDC_STOP_TIME).size(), 1u);
    EXPECT_EQ(dlg.Results().Count(), 2u);
    EXPECT_TRUE(platform.notices.empty());  // nothing was written to the closed log
  }
}

// A platform whose questions cannot be closed from outside: a Yes after the
// duration ended leaves without a second stop.
TEST_F(RunTest, ExitAnsweredYesAfterTheDurationEndedStopsOnce) {
  struct KeepsQuestions : FakePlatform {
    bool DismissQuestion() override { return false; }
  } keeping;
  keeping.now = platform.now;
  TestDlg other{keeping, serial};
  other.OnInitDialog();
  other.SetLogPath(logPath);
  keeping.ComboSetCurSel(IDC_DURATION, 1);
  other.OnSelchangeDuration();
  other.OnStart();
  keeping.now += 900;
  keeping.Answer(BoxAnswer::Yes, [&] { other.OnTimer(ID_TICK); });
  other.OnCancel();
  EXPECT_EQ(keeping.endResult, IDCANCEL);
  EXPECT_EQ(keeping.lists[IDC_STOP_TIME].size(), 1u);
  EXPECT_EQ(other.Results().Count(), 2u);
}

TEST_F(RunTest, FailedPortOpenKeepsThePreviousTestOnShow) {
  Start();
  serial.Push(EncodeFrame({1, 1, 0, 0}));
  Tick();
  dlg.StopTest();
  const auto stopStamp = List(IDC_STOP_TIME);
  serial.failOpen = true;
  platform.Answer(BoxAnswer::Yes);
  dlg.OnStart();
  EXPECT_FALSE(dlg.IsRunning());
  EXPECT_EQ(dlg.Results().Count(), 3u);
  EXPECT_EQ(List(IDC_STOP_TIME), stopStamp);
  EXPECT_TRUE(platform.timers.empty());
  // A later start asks about the file again.
  platform.Answer(BoxAnswer::Yes);
  dlg.OnStart();
  EXPECT_EQ(platform.boxes.back().text, "Cannot Open COM1");
  EXPECT_EQ(platform.boxes[platform.boxes.size() - 2].text, "Overwrite Existing File?");
}

TEST_F(RunTest, DestroyingTheDialogMidTestClosesPortAndLog) {
  FakeSerial port;
  auto running = std::make_unique<TestDlg>(platform, port);
  running->OnInitDialog();
  running->SetLogPath(logPath);
  running->OnStart();
  ASSERT_TRUE(port.opened);
  LogFile other;
  EXPECT_NE(other.Open(logPath), 0);  // held while the test runs
  running.reset();
  EXPECT_FALSE(port.opened);
  EXPECT_EQ(other.Open(logPath), 0);
}

}  // namespace
}  // namespace linkwatch::testing
