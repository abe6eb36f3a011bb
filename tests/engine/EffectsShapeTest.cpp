// Effects 10 to 19, frame by frame, on the same screen as the motion effects:
// 800 x 600, letters 10 wide, H = 20, Speed 6, HalfWidth = 400, CentreY = 290.
// sin[i] is round(sin(i * 3.14159 / 2048) * 4096), cos[i] = sin[i + 1024].
#include "tests/engine/EngineTestState.h"

namespace {

using ShapeEffectTest = EngineTest;

TEST_F(ShapeEffectTest, SwingTiltsTheWholeLineFromTheEndOfTheLine) {
  auto s = StartPass(efSwing);
  ASSERT_EQ(s->ScrollX, 822);
  s->Step();
  // xe = 842: 84200 / 6 = 14033 -> 1745, sin = 1836, * 300 >> 12 = 134.
  EXPECT_EQ(s->TextAngle, 134);
  EXPECT_EQ(At(*s, 1), (Pos{822, 290}));
  EXPECT_FALSE(s->PerLetterAngle);
  // xe = 700: 11666 -> 3474, sin = -3342 -> -245; + 3600 = 3355.
  s->ScrollX = 680;
  s->Step();
  EXPECT_EQ(s->TextAngle, 3355);
}

TEST_F(ShapeEffectTest, SwingWithoutLettersStillTiltsFromTheScrollPosition) {
  auto s = StartPass(efSwing);
  s->LineText.clear();
  s->LetterCount = 0;
  s->ScrollX = 500;
  s->Step();
  // 50000 / 6 = 8333 -> 141, sin = 879, * 300 >> 12 = 64.
  EXPECT_EQ(s->TextAngle, 64);
  EXPECT_TRUE(s->AllGone);
}

TEST_F(ShapeEffectTest, InflateGrowsWholeWordsAfterTheMiddle) {
  Settings.Text = "AB CD";
  auto s = StartPass(efInflate);
  ASSERT_EQ(s->LineY, 280);  // 580 * 290 div 600
  s->ScrollX = 380;
  s->Step();
  EXPECT_TRUE(s->PerLetterSize);
  // A at 380 starts a word in the band: 512 + sin[160] * 1024 >> 12 = 512 + 248.
  // B and the blank share it; C at 410 starts a word right of the middle: 512.
  EXPECT_EQ(s->LetterSize[1], 760);
  EXPECT_EQ(s->LetterSize[2], 760);
  EXPECT_EQ(s->LetterSize[3], 760);
  EXPECT_EQ(s->LetterSize[4], 512);
  EXPECT_EQ(s->LetterSize[5], 512);
  EXPECT_EQ(At(*s, 4), (Pos{410, 280}));  // positions keep the normal advance
  s->ScrollX = 300;
  s->Step();
  // A: 512 + sin[800] (3857) -> 964; C at 330: 512 + sin[560] (3102) -> 775.
  EXPECT_EQ(s->LetterSize[1], 1476);
  EXPECT_EQ(s->LetterSize[3], 1476);
  EXPECT_EQ(s->LetterSize[4], 1287);
  s->ScrollX = 260;
  s->Step();
  EXPECT_EQ(s->LetterSize[1], 1536);  // 260 <= 272: full size
  EXPECT_EQ(s->LetterSize[4], 1511);  // 290: 512 + sin[880] -> 999
}

TEST_F(ShapeEffectTest, InflateGivesALeadingBlankItsOwnSize) {
  Settings.Text = " AB";
  auto s = StartPass(efInflate);
  s->ScrollX = 390;
  s->Step();
  EXPECT_EQ(s->LetterSize[1], 637);  // 512 + sin[80] (501) * 1024 >> 12
  EXPECT_EQ(s->LetterSize[2], 512);  // A at 400 starts a word of its own
  EXPECT_EQ(s->LetterSize[3], 512);
}

TEST_F(ShapeEffectTest, NearAndFarScalesWordsAndTheirDistanceFromTheMiddle) {
  Settings.Text = "AB CD";
  auto s = StartPass(efNearAndFar);
  ASSERT_EQ(s->LineY, 280);
  s->Step();
  // A at 802: (800 - 802) * 50 / 6 = -16 (toward zero) -> 4080, sin = -101,
  // * 512 >> 12 = -13: S = 1037, X = 400 + 402 * 1037 div 1024 = 807.
  EXPECT_EQ(s->LetterSize[1], 1037);
  EXPECT_EQ(At(*s, 1), (Pos{807, 280}));
  s->ScrollX = 380;
  s->Step();
  // A at 380: -3244 * 512 >> 12 = -406, S = 1430; X = 400 + (-20 * 1430) div
  // 1024 = 400 - 27 (toward zero). The blank at x = 400 stays at 400.
  // C at 410: 3250 -> sin -3944 -> -493, S = 1517; X = 400 + 15170 div 1024.
  EXPECT_EQ(s->LetterSize[1], 1430);
  EXPECT_EQ(s->LetterSize[2], 1430);
  EXPECT_EQ(At(*s, 1), (Pos{373, 280}));
  EXPECT_EQ(At(*s, 2), (Pos{387, 280}));
  EXPECT_EQ(At(*s, 3), (Pos{400, 280}));
  EXPECT_EQ(s->LetterSize[4], 1517);
  EXPECT_EQ(At(*s, 4), (Pos{414, 280}));
  EXPECT_EQ(At(*s, 5), (Pos{429, 280}));
}

TEST_F(ShapeEffectTest, NearAndFarJudgesThePassEndOnTheScaledPosition) {
  Settings.Text = "A";
  auto s = StartPass(efNearAndFar);
  // x = 0 is on screen, but the letter is near: 40000 / 6 = 6666 -> 2570,
  // sin -2940 -> -368, S = 1392, X = 400 + (-400 * 1392) div 1024 = -143.
  s->ScrollX = 0;
  s->Step();
  EXPECT_EQ(At(*s, 1), (Pos{-143, 280}));
  EXPECT_TRUE(s->AllGone);
  // x = -342 is off screen, but the letter is far: 57100 / 6 = 9516 -> 1324,
  // sin 3670 -> 458, S = 566, X = 400 + (-742 * 566) div 1024 = -10.
  s->ScrollX = -342;
  s->Step();
  EXPECT_EQ(At(*s, 1), (Pos{-10, 280}));
  EXPECT_FALSE(s->AllGone);
}

TEST_F(ShapeEffectTest, LoopSpiralsIntoTheLineWhileTurningOnce) {
  auto s = StartPass(efLoop);
  ASSERT_EQ(s->ScrollX, 822);
  s->ScrollX = 405;
  s->Step();
  EXPECT_TRUE(s->PerLetterAngle);
  EXPECT_EQ(At(*s, 1), (Pos{405, 0}));  // along the top edge
  EXPECT_EQ(s->LetterAngle[1], 0);
  s->ScrollX = 310;
  s->Step();
  // Letter 1 at 310: R = 1800, r = 90 * 290 div 180 = 145, a = 2048:
  // X = 400 - 0, Y = 290 - (-145).
  EXPECT_EQ(At(*s, 1), (Pos{400, 435}));
  EXPECT_EQ(s->LetterAngle[1], 1800);
  // Letter 2 at 320: R = 1600, r = 161, a = 1820 (sin 1404, cos -3848):
  // X = 400 - 55, Y = 290 + 152.
  EXPECT_EQ(At(*s, 2), (Pos{345, 442}));
  EXPECT_EQ(s->LetterAngle[2], 1600);
  s->ScrollX = 221;
  s->Step();
  // R = 3580, r = 1, a = 4073: sin -145 * 1 >> 12 = -1, cos 4093 >> 12 = 0.
  EXPECT_EQ(At(*s, 1), (Pos{401, 290}));
  EXPECT_EQ(s->LetterAngle[1], 3580);
  s->ScrollX = 220;
  s->Step();
  // At HalfWidth - 180 the letter continues the spiral's end unrotated.
  EXPECT_EQ(At(*s, 1), (Pos{400, 290}));
  EXPECT_EQ(s->LetterAngle[1], 0);
  EXPECT_EQ(s->LetterAngle[2], 3400);
}

TEST_F(ShapeEffectTest, UpsideDownClimbsAHalfCircleWhileTurningUpright) {
  auto s = StartPass(efUpsideDown);
  ASSERT_EQ(s->LineY, 270);  // (600 - 40) * 290 div 600
  s->Step();
  // Right of the middle: mirrored along the bottom edge, upside down.
  EXPECT_EQ(At(*s, 1), (Pos{-2, 600}));
  EXPECT_EQ(At(*s, 2), (Pos{-12, 600}));
  EXPECT_EQ(s->LetterAngle[1], 1800);
  s->ScrollX = 310;
  s->Step();
  // q = (600 - 270) div 2 = 165; centre y = 870 div 2 = 435.
  // Letter 1: R = 2700, a = 3072: X = 400 + 165, Y = 435 - 0.
  // Letter 2: R = 2600, a = 2958 (sin -4034, cos -713): X = 400 + 163, Y = 435 + 29.
  EXPECT_EQ(At(*s, 1), (Pos{565, 435}));
  EXPECT_EQ(s->LetterAngle[1], 2700);
  EXPECT_EQ(At(*s, 2), (Pos{563, 464}));
  s->ScrollX = 221;
  s->Step();
  // R = 3590, a = 4084 (sin -75, cos 4095): X = 400 + 4, Y = 435 - 164.
  EXPECT_EQ(At(*s, 1), (Pos{404, 271}));
  s->ScrollX = 220;
  s->Step();
  EXPECT_EQ(At(*s, 1), (Pos{400, 270}));
  EXPECT_EQ(s->LetterAngle[1], 0);
}

TEST_F(ShapeEffectTest, UpsideDownPassLastsWhileALetterIsTurned) {
  Settings.FontSpacing = 1200;
  auto s = StartPass(efUpsideDown);
  s->ScrollX = -300;
  s->Step();
  // Letter 1 upright and gone; letter 2 at x = 910 is drawn at 800 - 910 =
  // -110, left of the screen, but still upside down.
  EXPECT_EQ(At(*s, 1), (Pos{-120, 270}));
  EXPECT_EQ(At(*s, 2), (Pos{-110, 600}));
  EXPECT_EQ(s->LetterAngle[2], 1800);
  EXPECT_FALSE(s->AllGone);
}

TEST_F(ShapeEffectTest, OscillateSwingsEnteringLettersAroundTheMiddle) {
  Settings.Text = "ABC";
  auto s = StartPass(efOscillate);
  s->ScrollX = 500;
  s->Step();
  // Letter 1: 490 + 130 + 0 + 11500 = 12120 -> 3928, sin -1044; amplitude
  //   500 * 500 div 3200 = 78: -20.
  // Letter 2: 980 + 260 + 400 + 11730 = 13370 -> 1082, sin 4080; 81: 80.
  // Letter 3: 0 + 390 + 400 + 11960 = 12750 -> 462, sin 2666; 84: 54.
  EXPECT_EQ(At(*s, 1), (Pos{500, 270}));
  EXPECT_EQ(At(*s, 2), (Pos{510, 370}));
  EXPECT_EQ(At(*s, 3), (Pos{520, 344}));
}

TEST_F(ShapeEffectTest, OscillateSquaresFarPositionsWithWrapAround) {
  Settings.Text = std::string(1000, 'A');
  Settings.FontSpacing = 40;
  auto s = StartPass(efOscillate);
  s->Step();
  // Letter 1000 at x = 802 + 999 * 50 = 50752: x * x = 2575765504 wraps to
  // -1719201792, div 3200 = -537250. Angle 490 + 130000 + 0 + 1167296 =
  // 1297786 -> 3450, sin -3427: -3427 * -537250 = 1841155750, >> 12 = 449500.
  EXPECT_EQ(At(*s, 1000), (Pos{50752, 290 + 449500}));
}

TEST_F(ShapeEffectTest, VerticalRunsDownAColumnWithAMirroredCopyRunningUp) {
  auto s = StartPass(efVertical);
  // LineY 290 + (800 - 600) div 2 = 390 lies within H of the middle 400:
  // halved to 195. ScrollX = SH + 2.
  ASSERT_EQ(s->LineY, 195);
  ASSERT_EQ(s->ScrollX, 602);
  s->Step();
  EXPECT_TRUE(s->Mirror);
  EXPECT_TRUE(s->PerLetterAngle);
  EXPECT_EQ(At(*s, 1), (Pos{195, -2}));
  EXPECT_EQ(At(*s, 2), (Pos{195, -12}));
  EXPECT_EQ(s->LetterAngle[1], 900);
  // Mirrored copies in slots 3 and 4.
  EXPECT_EQ(At(*s, 3), (Pos{605, 602}));
  EXPECT_EQ(At(*s, 4), (Pos{605, 612}));
  EXPECT_EQ(s->LetterAngle[3], 2700);
  EXPECT_EQ(s->LetterAngle[4], 2700);
}

TEST_F(ShapeEffectTest, VerticalPassEndsOnTheAdvancedPosition) {
  Settings.RandomYFlag = true;
  auto s = MakeState();
  Random.Answer(580, {100});
  Relayout(*s, efVertical);
  ASSERT_EQ(s->LineY, 200);  // 100 + 100, far enough from the middle
  // After the last letter x = SX + 20; gone once SX + 30 < -4.
  s->ScrollX = -34;
  s->Step();
  EXPECT_EQ(At(*s, 1), (Pos{200, 634}));
  EXPECT_EQ(At(*s, 3), (Pos{600, -34}));
  EXPECT_FALSE(s->AllGone);
  s->Step();
  EXPECT_TRUE(s->AllGone);
}

TEST_F(ShapeEffectTest, DropFallsTwoLineHeightsWhenTheDiceSaySo) {
  Settings.Text = "A";
  auto s = MakeState();
  Random.Calls.clear();
  Relayout(*s, efDrop);
  ASSERT_EQ(s->LineY, 270);  // (600 - 40) * 290 div 600; floor at 310
  Random.Answer(100, {10, 4, 3});
  s->LetterY[1] = 500;
  s->Step();  // off screen to the right: on the line, no dice
  EXPECT_EQ(AtV(*s, 1), (PosV{802, 270, 0}));
  EXPECT_EQ(Random.CallsWith(100), 0);
  s->Step();  // 10: stays
  EXPECT_EQ(AtV(*s, 1), (PosV{796, 270, 0}));
  s->Step();  // 4 is not below 4: stays
  EXPECT_EQ(AtV(*s, 1), (PosV{790, 270, 0}));
  s->Step();  // 3 < 4: falls
  EXPECT_EQ(AtV(*s, 1), (PosV{784, 271, 2}));
  const int32_t expectedY[] = {273, 276, 280, 285, 291, 298, 306};
  for (int32_t y : expectedY) {
    s->Step();
    EXPECT_EQ(s->LetterY[1], y);
  }
  s->Step();  // 306 + 9 = 315 > 310: lands and stays
  EXPECT_EQ(AtV(*s, 1), (PosV{736, 310, 0}));
  Frames(*s, 5);
  EXPECT_EQ(AtV(*s, 1), (PosV{706, 310, 0}));
  EXPECT_EQ(Random.CallsWith(100), 3);  // no dice once down
}

TEST_F(ShapeEffectTest, StumbleTipsOverAndFallsBackWithoutNegativeAngles) {
  Settings.Text = "A";
  auto s = StartPass(efStumble);
  Frames(*s, 68);  // the last of them at SX = 400, the middle
  EXPECT_EQ(s->LetterAngle[1], 0);
  struct Expected {
    int32_t X, R, V;
  };
  // Tipping over within H of the middle: R = (400 - x) * 900 div 20. Then V
  // grows by 50 and R falls by V; below 0 it bounces with -|V div 3|.
  const Expected frames[] = {
      {394, 270, 0},   {388, 540, 0},   {382, 810, 0},  {376, 760, 50}, {370, 660, 100},
      {364, 510, 150}, {358, 310, 200}, {352, 60, 250}, {346, 0, -100}, {340, 50, -50},
      {334, 50, 0},    {328, 0, 50},    {322, 0, -33},  {316, 0, -5},   {310, 0, -15},
  };
  for (const Expected& e : frames) {
    s->Step();
    EXPECT_EQ(s->LetterX[1], e.X);
    EXPECT_EQ(s->LetterAngle[1], e.R) << "x " << e.X;
    EXPECT_EQ(s->LetterVel[1], e.V) << "x " << e.X;
  }
  for (int f = 0; f < 200; ++f) {
    s->Step();
    ASSERT_GE(s->LetterAngle[1], 0);
  }
}

TEST_F(ShapeEffectTest, LocomotionCirclesAllLettersInStep) {
  auto s = MakeState();
  Random.Answer(65536, {100});
  Relayout(*s, efLocomotion);
  ASSERT_EQ(s->LineY, 293);  // 400 * 290 div 600 + 100
  s->Step();
  // a = 12 * 802 - 100 = 9524 -> 1332: cos -1864, sin 3647.
  // Letter 1: r = 133: -61, 118. Letter 2: r = 135: -62, 120. Plus SW div 6 = 133.
  EXPECT_EQ(At(*s, 1), (Pos{802 - 61 + 133, 293 + 118}));
  EXPECT_EQ(At(*s, 2), (Pos{812 - 62 + 133, 293 + 120}));
  s->ScrollX = -7;
  s->Step();
  // a = -184 -> 3912: cos 3934, sin -1141. Letter 1: r = -7 div 6 = -1:
  // -3934 >> 12 = -1, 1141 >> 12 = 0. Letter 2: r = 0.
  EXPECT_EQ(At(*s, 1), (Pos{-7 - 1 + 133, 293}));
  EXPECT_EQ(At(*s, 2), (Pos{3 + 133, 293}));
}

}  // namespace
