// The frame routine around the effects: per-frame resets, scrolling, colour
// fading, odd speeds, and extreme sizes for every effect.
#include <algorithm>

#include "tests/engine/EngineTestState.h"

namespace {

using StepTest = EngineTest;

TEST_F(StepTest, EveryFrameStartsWithTheFlagsClearedAndTheNormalFont) {
  auto s = StartPass(efVertical);
  s->Step();
  ASSERT_TRUE(s->Mirror);
  ASSERT_TRUE(s->PerLetterAngle);
  s->Effect = efInflate;
  Surface->SetFontSize(99);
  Surface->SetFontAngle(900);
  s->Step();
  EXPECT_FALSE(s->Mirror);
  EXPECT_FALSE(s->PerLetterAngle);
  EXPECT_TRUE(s->PerLetterSize);
  EXPECT_EQ(Surface->Size, 60);
  EXPECT_EQ(Surface->Angle, 0);
  s->Effect = efSwing;
  s->Step();
  EXPECT_FALSE(s->PerLetterSize);
  EXPECT_NE(s->TextAngle, 0);
  s->Effect = efStandard;
  s->Step();
  EXPECT_EQ(s->TextAngle, 0);
}

TEST_F(StepTest, ColourFadingTurnsTheHueBy200PerFrame) {
  Settings.ColorFadingFlag = true;
  Settings.FontColor = 0x0000FF;  // red: hue 0, full saturation and brightness
  auto s = MakeState();
  s->Step();
  // Hue 200: green rises to 200 * 1530 >> 16 = 4.
  EXPECT_EQ(s->Hue, 200);
  EXPECT_EQ(s->Color, MakeColor(255, 4, 0));
  Frames(*s, 2);
  // Hue 600: 918000 >> 16 = 14.
  EXPECT_EQ(s->Color, MakeColor(255, 14, 0));
  s->Hue = 65500;
  s->Step();
  EXPECT_EQ(s->Hue, 164);
}

TEST_F(StepTest, WithoutFadingTheColourStays) {
  auto s = MakeState();
  Frames(*s, 5);
  EXPECT_EQ(s->Hue, 8772);
  EXPECT_EQ(s->Color, 49392u);
}

TEST_F(StepTest, SpeedsBelowOneMoveTheLineByOne) {
  for (int32_t speed : {0, -3}) {
    Settings.Speed = speed;
    for (int32_t effect : {efStandard, efWave, efWorm, efSwing, efNearAndFar}) {
      auto s = StartPass(effect);
      const int32_t start = s->ScrollX;
      Frames(*s, 3);
      EXPECT_EQ(s->ScrollX, start - 3) << EffectNames[effect] << " speed " << speed;
    }
  }
}

TEST_F(StepTest, ARunningClockKeepsItsLettersInPlace) {
  Settings.Text = "";
  Settings.DateTimeMode = 2;
  auto s = MakeState();
  ASSERT_EQ(s->LineText, U"09:05:07");
  s->Step();
  Now.Second = 8;
  s->Step();
  EXPECT_EQ(s->LineText, U"09:05:08");
  EXPECT_EQ(s->LetterCount, 8);
  EXPECT_EQ(At(*s, 8), (Pos{796 + 70, 290}));
  EXPECT_EQ(s->TextHeight, 20);
}

TEST_F(StepTest, AStateEditedBeyondItsTextDoesNotReadPastIt) {
  auto s = MakeState();
  s->LetterCount = 5000;
  s->Step();
  EXPECT_EQ(s->LetterCount, 2);
  s->Effect = 42;
  s->Step();
  EXPECT_EQ(At(*s, 1), (Pos{796, 290}));  // an unknown effect moves as "Standard"
}

// Every effect over a whole pass with extreme settings: a thousand letters of
// a big font, on a large and on a tiny screen, at the slowest and the fastest
// dialog speed. The pass must end, and positions far off screen must not
// trip the sanitizers.
struct Extreme {
  int32_t screenWidth, screenHeight;
  int32_t speed;
  int32_t letters;
  int32_t letterWidth, textHeight;
};

class ExtremeStepTest : public EngineTest, public ::testing::WithParamInterface<Extreme> {};

TEST_P(ExtremeStepTest, EveryEffectFinishesAPass) {
  const Extreme& e = GetParam();
  SetScreen(e.screenWidth, e.screenHeight);
  Settings.Speed = e.speed;
  Settings.FontSize = 200;
  Settings.FontSpacing = 50;
  Settings.ColorFadingFlag = true;
  Settings.RandomYFlag = true;
  Settings.Text = std::string(static_cast<size_t>(e.letters), 'W');
  LetterWidth = e.letterWidth;
  TextHeight = e.textHeight;
  platform::SetRandomSource({});
  platform::SeedRandom(1);
  auto s = MakeState(e.screenWidth, e.screenHeight);
  // The letters enter and cross the middle frame by frame; then the line
  // skips ahead to where its end is two screen widths from the left edge, and
  // leaves frame by frame. Every effect ends within that way plus its own
  // margins (Loop and Upside down draw 180 further right, Fizz needs 32
  // frames, Near && Far halves distances from the middle).
  const int32_t length = e.letters * (e.letterWidth + 50);
  const int64_t limit = 200 + (8 * e.screenWidth + 2 * e.screenHeight + 1000) / e.speed + 64;
  for (int32_t effect = 0; effect < kEffectCount; ++effect) {
    Relayout(*s, effect);
    int64_t frames = 0;
    do {
      s->Step();
      ++frames;
      if (frames == 200 && s->ScrollX + length > 2 * e.screenWidth) {
        s->ScrollX = 2 * e.screenWidth - length;
      }
    } while (!s->AllGone && frames < limit);
    EXPECT_TRUE(s->AllGone) << EffectNames[effect] << " after " << frames << " frames";
  }
}

INSTANTIATE_TEST_SUITE_P(Sizes, ExtremeStepTest,
                         ::testing::Values(Extreme{3840, 2160, 20, 1000, 130, 300},
                                           Extreme{160, 120, 20, 1000, 130, 300},
                                           Extreme{3840, 2160, 1, 40, 130, 300},
                                           Extreme{160, 120, 1, 40, 130, 300}));

}  // namespace
