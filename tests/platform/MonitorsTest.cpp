#include "platform/Monitors.h"

#include <gtest/gtest.h>
#include <signal.h>

#include "platform/TerminationSignals.h"

namespace {

TEST(MonitorsTest, OtherMonitorsAreAllButThePrimaryEachOnce) {
  const QRect primary(0, 0, 1920, 1080);
  const QRect right(1920, 0, 1280, 1024);
  const QRect above(0, -900, 1600, 900);
  const std::pair<std::vector<QRect>, std::vector<QRect>> cases[] = {
      {{primary}, {}},
      {{primary, right}, {right}},
      {{right, primary}, {right}},
      {{primary, right, above}, {right, above}},
      // Mirrored monitors: the same rectangle twice counts once, and a mirror
      // of the primary needs no cover.
      {{primary, primary, right, right}, {right}},
      {{}, {}},
  };
  for (const auto& [monitors, expected] : cases) {
    EXPECT_EQ(platform::WithoutPrimary(monitors, primary), expected) << monitors.size();
  }
}

TEST(TerminationSignalsTest, TermAndIntArriveThroughThePipeAndTheOldHandlersComeBack) {
  {
    platform::TerminationSignals termination;
    EXPECT_FALSE(termination.Arrived());
    ASSERT_EQ(raise(SIGTERM), 0);  // would end the test program without the handler
    ASSERT_EQ(raise(SIGINT), 0);
    EXPECT_TRUE(termination.Arrived());
    EXPECT_FALSE(termination.Arrived()) << "the pipe was not emptied";
  }
  struct sigaction now {};
  sigaction(SIGTERM, nullptr, &now);
  EXPECT_EQ(now.sa_handler, SIG_DFL);
  sigaction(SIGINT, nullptr, &now);
  EXPECT_EQ(now.sa_handler, SIG_DFL);
}

TEST(TerminationSignalsTest, OnceTheEndIsUnderWayTheyAreIgnoredForGood) {
  {
    platform::TerminationSignals termination;
    termination.IgnoreFromNowOn();
    ASSERT_EQ(raise(SIGTERM), 0);  // would end the test program if not ignored
    ASSERT_EQ(raise(SIGINT), 0);
    EXPECT_FALSE(termination.Arrived()) << "ignored signals reached the pipe";
  }
  struct sigaction now {};
  sigaction(SIGTERM, nullptr, &now);
  EXPECT_EQ(now.sa_handler, SIG_IGN) << "the default came back";
  sigaction(SIGINT, nullptr, &now);
  EXPECT_EQ(now.sa_handler, SIG_IGN) << "the default came back";
  signal(SIGTERM, SIG_DFL);
  signal(SIGINT, SIG_DFL);
}

}  // namespace
