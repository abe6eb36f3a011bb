// The date/time line in the eight modes, and a running clock during a pass.
// The regional formats are those of the en_US locale, chosen before anything
// asks for the system locale: short date "M/d/yy", long "dddd, MMMM d, yyyy".
#include <cstdlib>

#include "tests/engine/EngineTestState.h"

namespace {

const bool kLocaleChosen = [] {
  setenv("LC_ALL", "en_US.UTF-8", 1);
  return true;
}();

using DateTimeLineTest = EngineTest;

TEST_F(DateTimeLineTest, EightModes) {
  ASSERT_TRUE(kLocaleChosen);
  EXPECT_EQ(DateTimeText(0), "Lettrance");
  EXPECT_EQ(DateTimeText(1), "Wednesday, January 17, 2001");
  EXPECT_EQ(DateTimeText(2), "09:05:07");
  EXPECT_EQ(DateTimeText(3), "Wednesday, January 17, 2001 09:05:07");
  EXPECT_EQ(DateTimeText(4), "1/17/01 09:05");
  EXPECT_EQ(DateTimeText(5), "1/17/01");
  EXPECT_EQ(DateTimeText(6), "09:05");
  EXPECT_EQ(DateTimeText(7), "1/17/01 09:05:07");
  EXPECT_EQ(DateTimeText(8), "Lettrance");
  EXPECT_EQ(DateTimeText(-1), "Lettrance");
  Now = platform::LocalDateTime{1999, 12, 31, 23, 0, 59};
  EXPECT_EQ(DateTimeText(7), "12/31/99 23:00:59");
  Now = platform::LocalDateTime{2000, 2, 29, 0, 0, 0};
  EXPECT_EQ(DateTimeText(6), "00:00");
}

TEST_F(DateTimeLineTest, ADateWithoutTimeIsNotRefreshed) {
  Settings.Text = "";
  Settings.DateTimeMode = 5;
  auto s = MakeState();
  ASSERT_EQ(s->LineText, U"1/17/01");
  Now.Day = 18;
  s->Step();
  EXPECT_EQ(s->LineText, U"1/17/01");
}

TEST_F(DateTimeLineTest, AClockThatGrowsStartsItsNewLettersLikeALayout) {
  Settings.Text = "";
  Settings.DateTimeMode = 7;
  Now = platform::LocalDateTime{2001, 1, 9, 23, 59, 59};
  auto s = MakeState();
  Relayout(*s, efStumble);  // works on the angle and speed a letter had before
  ASSERT_EQ(s->LineText, U"1/9/01 23:59:59");
  ASSERT_EQ(s->LetterCount, 15);
  // What an earlier pass leaves in the slot the new letter will use.
  s->LetterVel[16] = 77;
  s->LetterAngle[16] = -900;
  s->ScrollX = 200;
  Now = platform::LocalDateTime{2001, 1, 10, 0, 0, 0};
  s->Step();
  EXPECT_EQ(s->LineText, U"1/10/01 00:00:00");
  EXPECT_EQ(s->LetterCount, 16);
  // Letter 16 at 200 + 150 = 350 <= 400 - 20 falls back from a fresh angle 0:
  // V = 0 + 50, R = 0 - 50 < 0, so R = 0 and V = -(50 div 3).
  EXPECT_EQ(s->LetterX[16], 350);
  EXPECT_EQ(s->LetterAngle[16], 0);
  EXPECT_EQ(s->LetterVel[16], -16);
}

}  // namespace
