#include "platform/MillisecondClock.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

using namespace std::chrono_literals;
using platform::MillisecondsBetween;
using platform::WrapMilliseconds;

TEST(MillisecondClock, CountWrapsModulo2To32) {
  EXPECT_EQ(WrapMilliseconds(0ms), 0u);
  EXPECT_EQ(WrapMilliseconds(std::chrono::milliseconds(4294967295LL)), 4294967295u);
  EXPECT_EQ(WrapMilliseconds(std::chrono::milliseconds(4294967296LL + 7)), 7u);
}

TEST(MillisecondClock, DifferencesAreSignedAcrossTheWrap) {
  EXPECT_EQ(MillisecondsBetween(0xFFFFFFF0u, 0x10u), 32);
  EXPECT_EQ(MillisecondsBetween(0x10u, 0xFFFFFFF0u), -32);
  EXPECT_EQ(MillisecondsBetween(1000u, 1040u), 40);
  EXPECT_EQ(MillisecondsBetween(0x7FFFFFFFu, 0x80000000u), 1);
}

TEST(MillisecondClock, CountsMillisecondsForward) {
  const uint32_t before = platform::MillisecondClock();
  std::this_thread::sleep_for(30ms);
  // A sleep lasts at least as long as asked, so at least 30 whole
  // milliseconds have passed; a clock in other units would fail either way.
  const int32_t elapsed = MillisecondsBetween(before, platform::MillisecondClock());
  EXPECT_GE(elapsed, 30);
  EXPECT_LT(elapsed, 30000);
}
