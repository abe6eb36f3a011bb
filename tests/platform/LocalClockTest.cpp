#include "platform/LocalClock.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

namespace {

// The system locale is read once; choose German before anything asks.
const bool kLocaleChosen = [] {
  setenv("LC_ALL", "de_DE.UTF-8", 1);
  return true;
}();

TEST(LocalClockTest, RegionalDateFormats) {
  ASSERT_TRUE(kLocaleChosen);
  const platform::LocalDateTime when{2001, 1, 17, 9, 5, 7};
  EXPECT_EQ(platform::ShortDateText(when), "17.01.01");
  EXPECT_EQ(platform::LongDateText(when), "Mittwoch, 17. Januar 2001");
  // UTF-8 month names.
  EXPECT_EQ(platform::LongDateText({2001, 3, 1, 0, 0, 0}), "Donnerstag, 1. M\xC3\xA4rz 2001");
}

TEST(LocalClockTest, InvalidDatesGiveEmptyText) {
  EXPECT_EQ(platform::ShortDateText({2001, 13, 1, 0, 0, 0}), "");
  EXPECT_EQ(platform::LongDateText({2001, 2, 30, 0, 0, 0}), "");
}

TEST(LocalClockTest, AnInstalledClockReplacesTheSystemClock) {
  platform::SetLocalClock([] { return platform::LocalDateTime{1999, 12, 31, 23, 59, 58}; });
  const platform::LocalDateTime fixed = platform::CurrentLocalDateTime();
  EXPECT_EQ(fixed.Year, 1999);
  EXPECT_EQ(fixed.Second, 58);
  platform::SetLocalClock({});
  const std::time_t now = std::time(nullptr);
  std::tm parts{};
  localtime_r(&now, &parts);
  const platform::LocalDateTime real = platform::CurrentLocalDateTime();
  EXPECT_EQ(real.Year, parts.tm_year + 1900);
  EXPECT_GE(real.Month, 1);
  EXPECT_LE(real.Month, 12);
}

}  // namespace
