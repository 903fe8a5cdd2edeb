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

TEST(TerminationSignals, GivesBackThePreviousHandlingAndWatchesOnlyOnce) {
  struct sigaction ignore {};
  ignore.sa_handler = SIG_IGN;
  struct sigaction saved {};
  ASSERT_EQ(::sigaction(SIGHUP, &ignore, &saved), 0);
  {
    TerminationSignals first;
    ASSERT_EQ(first.Error(), "");
    struct sigaction now {};
    ::sigaction(SIGHUP, nullptr, &now);
    EXPECT_NE(now.sa_handler, SIG_IGN);

    TerminationSignals second;
    EXPECT_NE(second.Error(), "");
  }
  struct sigaction after {};
  ::sigaction(SIGHUP, nullptr, &after);
  EXPECT_EQ(after.sa_handler, SIG_IGN);
  ::sigaction(SIGHUP, &saved, nullptr);

  // Watching is free again once the first has gone.
  TerminationSignals again;
  EXPECT_EQ(again.Error(), "");
}

}  // namespace
}  // namespace linkwatch
