// The metrics kept from a real dialog's events: error frames counted from
// the rows without the start and final rows, sums and frames from the ticks,
// and the state gauges through a loss, a return and the stop.
#include "metrics_observer.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include "dlg_fixture.h"

namespace linkwatch::testing {
namespace {

using cli::MetricsFigures;
using cli::MetricsObserver;

class MetricsObserverTest : public DlgTest {
 protected:
  void SetUp() override {
    DlgTest::SetUp();
    dlg.AddObserver(&metrics);
  }
  void TearDown() override { dlg.RemoveObserver(&metrics); }
  const MetricsFigures& F() const { return metrics.Figures(); }

  MetricsObserver metrics{"COM1"};
};

TEST_F(MetricsObserverTest, ATestFromStartToStop) {
  Init();
  EXPECT_FALSE(F().running);
  EXPECT_EQ(F().port, "COM1");
  dlg.OnStart();
  ASSERT_TRUE(dlg.IsRunning());
  EXPECT_TRUE(F().running);
  EXPECT_TRUE(F().lineUp);
  EXPECT_EQ(F().errorFrames, 0u) << "the start row is no error frame";

  // Two error frames and a clean one in one second, then one more error.
  serial.Push(Concat(
      {EncodeFrame({100, 2, 0, 0}), EncodeFrame({50, 0, 0, 0}), EncodeFrame({10, 0, 1, 3})}));
  Tick();
  serial.Push(EncodeFrame({5, 1, 0, 0}));
  Tick();
  EXPECT_EQ(F().frames, 4u);
  EXPECT_EQ(F().errorFrames, 3u);
  EXPECT_EQ(F().counts, (Totals{165, 3, 1, 3}));
  EXPECT_EQ(F().counts, dlg.CurrentTotals()) << "the same sums as the rows show";
  EXPECT_EQ(F().elapsed, 2);

  Tick();  // the first quiet tick: not yet lost
  EXPECT_TRUE(F().lineUp);
  Tick();  // the second: the "Lost" row
  EXPECT_FALSE(F().lineUp);
  EXPECT_EQ(F().lineLosses, 1u);
  Tick();
  EXPECT_FALSE(F().lineUp);
  serial.Push(EncodeFrame({1, 0, 0, 0}));
  Tick();  // "Back"
  EXPECT_TRUE(F().lineUp);
  EXPECT_EQ(F().lineLosses, 1u);
  EXPECT_EQ(F().elapsed, 6);

  dlg.StopTest();
  EXPECT_FALSE(F().running);
  EXPECT_FALSE(F().lineUp) << "the port is closed";
  EXPECT_EQ(F().errorFrames, 3u) << "the final row is no error frame";
  EXPECT_EQ(F().frames, 5u);
  EXPECT_EQ(F().logWriteFailures, 0u);
}

// The duration ends the test inside a tick, before its poll: the final row
// comes then, with no tick record after it.
TEST_F(MetricsObserverTest, TheFinalRowOfADurationsEndIsNoErrorFrame) {
  Init();
  dlg.SetDuration(2);
  dlg.OnStart();
  serial.Push(EncodeFrame({1, 1, 0, 0}));
  Tick();
  Tick();
  ASSERT_FALSE(dlg.IsRunning());
  EXPECT_EQ(F().errorFrames, 1u);
  EXPECT_EQ(dlg.Results().Count(), 3u);  // start, error, final
}

TEST_F(MetricsObserverTest, EveryFailedLogWriteIsCounted) {
  Start();
  ::signal(SIGXFSZ, SIG_IGN);  // as the programs do
  rlimit saved{};
  ::getrlimit(RLIMIT_FSIZE, &saved);
  rlimit limit = saved;
  limit.rlim_cur = Log().size();
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limit), 0);
  serial.Push(EncodeFrame({0, 1, 0, 0}));
  Tick();
  serial.Push(EncodeFrame({0, 1, 0, 0}));
  Tick();
  ::setrlimit(RLIMIT_FSIZE, &saved);
  EXPECT_EQ(F().logWriteFailures, static_cast<std::uint64_t>(dlg.LogFailures()));
  EXPECT_GE(F().logWriteFailures, 2u);
}

}  // namespace
}  // namespace linkwatch::testing
