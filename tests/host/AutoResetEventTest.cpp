#include "host/AutoResetEvent.h"

#include <gtest/gtest.h>

#include <thread>

TEST(AutoResetEvent, LetsOneWaitThroughPerSetThenResets) {
  TAutoResetEvent event;
  EXPECT_EQ(event.WaitFor(0), TWaitResult::wrTimeout);
  event.SetEvent();
  event.SetEvent();  // already set: still one wait only
  EXPECT_EQ(event.WaitFor(0), TWaitResult::wrSignaled);
  EXPECT_EQ(event.WaitFor(0), TWaitResult::wrTimeout);
  EXPECT_EQ(event.WaitFor(5), TWaitResult::wrTimeout);
  event.SetEvent();
  EXPECT_EQ(event.WaitFor(kWaitInfinite), TWaitResult::wrSignaled);
}

TEST(AutoResetEvent, ASetFromAnotherThreadEndsAnEndlessWait) {
  TAutoResetEvent event;
  std::thread setter([&] { event.SetEvent(); });
  EXPECT_EQ(event.WaitFor(kWaitInfinite), TWaitResult::wrSignaled);
  setter.join();
}
