#include <gtest/gtest.h>
#include <signal.h>

#include <QTest>

#include <vector>

#include "app/termination_signals.h"

namespace linkwatch {
namespace {

TEST(TerminationSignals, EachSignalReachesTheEventLoopEvenOneSentBeforeWatching) {
  TerminationSignals endSignals;
  ASSERT_EQ(endSignals.Error(), "");
  ASSERT_EQ(::raise(SIGTERM), 0);  // before anybody watches: kept
  std::vector<int> seen;
  endSignals.Watch([&](int signo) { seen.push_back(signo); });
  ASSERT_TRUE(QTest::qWaitFor([&] { return seen.size() == 1; }, 3000));
  ASSERT_EQ(::raise(SIGINT), 0);
  ASSERT_EQ(::raise(SIGHUP), 0);
  ASSERT_TRUE(QTest::qWaitFor([&] { return seen.size() == 3; }, 3000));
  EXPECT_EQ(seen, (std::vector<int>{SIGTERM, SIGINT, SIGHUP}));

  endSignals.Watch({});
  ASSERT_EQ(::raise(SIGTERM), 0);
  QTest::qWait(20);
  EXPECT_EQ(seen.size(), 3u);
}

extern "C" void CountingHandler(int) {}

TEST(TerminationSignals, GivesBackThePreviousHandlingAndWatchesOnlyOnce) {
  struct sigaction counting {};
  counting.sa_handler = CountingHandler;
  struct sigaction saved {};
  ASSERT_EQ(::sigaction(SIGINT, &counting, &saved), 0);
  {
    TerminationSignals first;
    ASSERT_EQ(first.Error(), "");
    struct sigaction now {};
    ::sigaction(SIGINT, nullptr, &now);
    EXPECT_NE(now.sa_handler, CountingHandler);

    TerminationSignals second;
    EXPECT_NE(second.Error(), "");
  }
  struct sigaction after {};
  ::sigaction(SIGINT, nullptr, &after);
  EXPECT_EQ(after.sa_handler, CountingHandler);
  ::sigaction(SIGINT, &saved, nullptr);

  // Watching is free again once the first has gone.
  TerminationSignals again;
  EXPECT_EQ(again.Error(), "");
}

// nohup starts a program with the hang-up ignored so that it outlives the
// session: that choice must hold, while the other signals still end it.
TEST(TerminationSignals, ASignalIgnoredAtStartStaysIgnored) {
  struct sigaction ignore {};
  ignore.sa_handler = SIG_IGN;
  struct sigaction saved {};
  ASSERT_EQ(::sigaction(SIGHUP, &ignore, &saved), 0);
  {
    TerminationSignals endSignals;
    ASSERT_EQ(endSignals.Error(), "");
    struct sigaction now {};
    ::sigaction(SIGHUP, nullptr, &now);
    EXPECT_EQ(now.sa_handler, SIG_IGN);

    std::vector<int> seen;
    endSignals.Watch([&](int signo) { seen.push_back(signo); });
    ASSERT_EQ(::raise(SIGHUP), 0);
    ASSERT_EQ(::raise(SIGTERM), 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !seen.empty(); }, 3000));
    QTest::qWait(20);
    EXPECT_EQ(seen, std::vector<int>{SIGTERM}) << "the hang-up was never caught";
  }
  struct sigaction after {};
  ::sigaction(SIGHUP, nullptr, &after);
  EXPECT_EQ(after.sa_handler, SIG_IGN);
  ::sigaction(SIGHUP, &saved, nullptr);
}

}  // namespace
}  // namespace linkwatch
