#include "platform/TerminationSignals.h"

#include <gtest/gtest.h>
#include <signal.h>

namespace {

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
