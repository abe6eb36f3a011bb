// Effects 0 to 9, frame by frame. Screen 800 x 600, letters 10 wide, H = 20,
// Speed 6: CentreY = 290, HalfWidth = 400, FloorY = 580, ScatterStart = 266,
// and a new pass starts at ScrollX = 802. Table values used below are
// round(sin(i * 3.14159 / 2048) * 4096), noted as sin[i] (cos[i] = sin[i + 1024]).
#include "tests/engine/EngineTestState.h"

namespace {

using MotionEffectTest = EngineTest;

TEST_F(MotionEffectTest, StandardMovesEveryLetterBySpeedAndEndsWhenTheLastLeaves) {
  auto s = StartPass(efStandard);
  s->Step();
  EXPECT_EQ(At(*s, 1), (Pos{802, 290}));
  EXPECT_EQ(At(*s, 2), (Pos{812, 290}));
  EXPECT_EQ(s->ScrollX, 796);
  s->Step();
  EXPECT_EQ(At(*s, 1), (Pos{796, 290}));
  EXPECT_EQ(At(*s, 2), (Pos{806, 290}));
  // Letter 2 sits at SX + 10 and is gone once SX + 20 < -4. Frame k has
  // SX = 802 - 6(k - 1): frame 138 has SX = -20 (right edge 0), frame 139
  // has SX = -26 (right edge -6).
  Frames(*s, 135);
  EXPECT_EQ(s->ScrollX, -20);
  s->Step();
  EXPECT_FALSE(s->AllGone);
  s->Step();
  EXPECT_TRUE(s->AllGone);
  EXPECT_EQ(At(*s, 2), (Pos{-16, 290}));
}

TEST_F(MotionEffectTest, WaveIsCentredOnTheMiddleEvenWithRandomHeight) {
  Settings.RandomYFlag = true;
  auto s = MakeState();
  Random.Answer(580, {100});
  Relayout(*s, efWave);
  ASSERT_EQ(s->LineY, 100);
  s->Step();
  // 802 * 200 / 6 = 26733. Letter 1: 27033 and 4095 = 2457, sin = -2405,
  // * 10 >> 12 = -6. Letter 2: 2757, sin = -3627, -9.
  EXPECT_EQ(At(*s, 1), (Pos{802, 284}));
  EXPECT_EQ(At(*s, 2), (Pos{812, 281}));
  // SX = -7: -1400 / 6 = -233. Letter 1: 67, sin = 420, 1. Letter 2: 367, sin 2186, 5.
  s->ScrollX = -7;
  s->Step();
  EXPECT_EQ(At(*s, 1), (Pos{-7, 291}));
  EXPECT_EQ(At(*s, 2), (Pos{3, 295}));
}

TEST_F(MotionEffectTest, WormBunchesLettersHorizontally) {
  auto s = StartPass(efWorm);
  s->Step();
  // Amplitude H / 4 = 5: letter 1 -2405 * 5 >> 12 = -3, letter 2 -3627 * 5 >> 12 = -5; plus 5.
  EXPECT_EQ(At(*s, 1), (Pos{804, 290}));
  EXPECT_EQ(At(*s, 2), (Pos{812, 290}));
  s->ScrollX = -7;
  s->Step();
  // 420 * 5 >> 12 = 0; 2186 * 5 >> 12 = 2.
  EXPECT_EQ(At(*s, 1), (Pos{-2, 290}));
  EXPECT_EQ(At(*s, 2), (Pos{10, 290}));
}

TEST_F(MotionEffectTest, BounceDropsFromTheTopAndBouncesWithHalfItsSpeed) {
  auto s = StartPass(efBounce);
  s->Step();  // both letters beyond SW: at the top edge
  EXPECT_EQ(AtV(*s, 1), (PosV{802, 0, 0}));
  EXPECT_EQ(AtV(*s, 2), (PosV{812, 0, 0}));
  s->Step();  // letter 1 on screen: falls by 0, speed 1
  EXPECT_EQ(AtV(*s, 1), (PosV{796, 0, 1}));
  EXPECT_EQ(AtV(*s, 2), (PosV{806, 0, 0}));
  s->Step();
  EXPECT_EQ(AtV(*s, 1), (PosV{790, 1, 2}));
  EXPECT_EQ(AtV(*s, 2), (PosV{800, 0, 1}));  // x = SW counts as on screen
  // After k frames of falling y = k(k - 1) / 2 and v = k: k = 34 gives 561;
  // k = 35 would reach 595 > 580, so it lands on the floor with -(34 div 2) + 1.
  Frames(*s, 32);
  EXPECT_EQ(AtV(*s, 1), (PosV{598, 561, 34}));
  s->Step();
  EXPECT_EQ(AtV(*s, 1), (PosV{592, 580, -16}));
  EXPECT_EQ(AtV(*s, 2), (PosV{602, 561, 34}));
  s->Step();
  EXPECT_EQ(AtV(*s, 1), (PosV{586, 564, -15}));
  EXPECT_EQ(AtV(*s, 2), (PosV{596, 580, -16}));

  // From speed 9 just above the floor: 584 > 580, v = -(9 div 2) + 1 = -3.
  s->ScrollX = 300;
  s->LetterY[1] = 575;
  s->LetterVel[1] = 9;
  s->Step();
  EXPECT_EQ(AtV(*s, 1), (PosV{300, 580, -3}));
}

TEST_F(MotionEffectTest, JumpKicksOnceWhenCrossingTheMiddle) {
  auto s = StartPass(efJump);
  // Base B = CentreY + LY div 2 = 290 + 145 = 435; kick -(600 div 40) = -15.
  s->Step();
  EXPECT_EQ(AtV(*s, 1), (PosV{802, 435, 1}));
  Frames(*s, 66);  // frame 67: SX = 406
  EXPECT_EQ(AtV(*s, 1), (PosV{406, 435, 1}));
  s->Step();  // SX = 400: 406 > 400 >= 400, the kick
  EXPECT_EQ(AtV(*s, 1), (PosV{400, 420, -14}));
  EXPECT_EQ(AtV(*s, 2), (PosV{410, 435, 1}));
  s->Step();
  EXPECT_EQ(AtV(*s, 1), (PosV{394, 406, -13}));
  EXPECT_EQ(AtV(*s, 2), (PosV{404, 435, 1}));  // 410 > 400 but 404 > 400: no kick yet
  s->Step();
  EXPECT_EQ(AtV(*s, 2), (PosV{398, 420, -14}));
  // The top of the jump: 420 - (14 + 13 + ... + 1) = 315, reached at SX = 316.
  Frames(*s, 12);
  EXPECT_EQ(AtV(*s, 1), (PosV{316, 315, 0}));
  // Back on the base at SX = 220 (y = 435 exactly, v = 16); the next frame
  // overshoots and bounces: -(16 div 2) + 1 = -7.
  Frames(*s, 16);
  EXPECT_EQ(AtV(*s, 1), (PosV{220, 435, 16}));
  s->Step();
  EXPECT_EQ(AtV(*s, 1), (PosV{214, 435, -7}));

  // Only the crossing frame kicks: -14 never comes back.
  int kicks = 0;
  auto t = StartPass(efJump);
  for (int f = 0; f < 300; ++f) {
    t->Step();
    kicks += t->LetterVel[1] == -14 ? 1 : 0;
  }
  EXPECT_EQ(kicks, 1);
}

TEST_F(MotionEffectTest, ZipBringsOddLettersFromBelowAndEvenFromAbove) {
  auto s = StartPass(efZip);
  s->Step();
  EXPECT_EQ(AtV(*s, 1), (PosV{802, 600, 0}));  // SH
  EXPECT_EQ(AtV(*s, 2), (PosV{812, -20, 0}));  // -H
  s->Step();
  EXPECT_EQ(AtV(*s, 1), (PosV{796, 599, -1}));
  s->Step();
  EXPECT_EQ(AtV(*s, 1), (PosV{790, 597, -2}));
  EXPECT_EQ(AtV(*s, 2), (PosV{800, -19, 1}));
  // Letter 1 after k frames: 600 - k(k + 1) / 2; k = 24 gives 300, k = 25
  // would give 275 <= 290 and snaps.
  Frames(*s, 22);
  EXPECT_EQ(AtV(*s, 1), (PosV{658, 300, -24}));
  EXPECT_EQ(AtV(*s, 2), (PosV{668, 256, 23}));
  s->Step();
  EXPECT_EQ(AtV(*s, 1), (PosV{652, 290, 0}));
  EXPECT_EQ(AtV(*s, 2), (PosV{662, 280, 24}));
  s->Step();
  EXPECT_EQ(AtV(*s, 1), (PosV{646, 290, 0}));
  EXPECT_EQ(AtV(*s, 2), (PosV{656, 290, 0}));
}

TEST_F(MotionEffectTest, FizzFliesInOnAnArcIn32Frames) {
  auto s = StartPass(efFizz);
  ASSERT_EQ(s->FizzRadius, 175);  // (600 - 290) div 2 + 20
  s->Step();
  // V = 0: X = x + 0 - 1200, Y = 175 + 175 + 290.
  EXPECT_EQ(AtV(*s, 1), (PosV{-398, 640, 0}));
  s->Step();
  // V = 32: sin[32] = 201, * 1200 >> 12 = 58; cos[64] = 4076, * 175 >> 12 = 174.
  EXPECT_EQ(AtV(*s, 1), (PosV{796 + 58 - 1200, 174 + 175 + 290, 32}));
  EXPECT_EQ(AtV(*s, 2), (PosV{-394, 640, 0}));
  s->Step();
  // V = 64: sin[64] = 401 -> 117; cos[128] = 4017 -> 171.
  EXPECT_EQ(AtV(*s, 1), (PosV{790 + 117 - 1200, 171 + 175 + 290, 64}));
  // After 32 frames on screen the letter is in place: sin[1024] * 1200 >> 12
  // = 1200, cos[2048] * 175 >> 12 = -175.
  Frames(*s, 30);
  EXPECT_EQ(AtV(*s, 1), (PosV{610, 290, 1024}));
  EXPECT_FALSE(s->AllGone);
}

TEST_F(MotionEffectTest, FizzPassLastsUntilEveryLetterHasArrived) {
  auto s = StartPass(efFizz);
  s->ScrollX = -5000;  // far left, but every angle still at 0
  for (int f = 1; f < 32; ++f) {
    s->Step();
    ASSERT_FALSE(s->AllGone) << "frame " << f;
  }
  s->Step();
  EXPECT_EQ(s->LetterVel[1], 1024);
  EXPECT_EQ(s->LetterVel[2], 1024);
  EXPECT_TRUE(s->AllGone);
}

TEST_F(MotionEffectTest, SlopeGlidesInThePassDirectionAndReflects) {
  auto s = MakeState();
  Random.Answer(2, {0});
  Relayout(*s, efSlope);
  ASSERT_EQ(s->SlopeStep, -3);
  s->Step();
  EXPECT_EQ(AtV(*s, 1), (PosV{802, 290, 0}));  // not yet on screen
  s->Step();
  EXPECT_EQ(AtV(*s, 1), (PosV{796, 287, -3}));
  EXPECT_EQ(AtV(*s, 2), (PosV{806, 290, 0}));
  s->Step();
  EXPECT_EQ(AtV(*s, 1), (PosV{790, 284, -3}));
  // Off the top edge: 2 - 3 = -1 -> 0, moving down.
  s->LetterY[1] = 2;
  s->Step();
  EXPECT_EQ(AtV(*s, 1), (PosV{784, 0, 3}));
  // Off the bottom edge SH - H = 580: 578 + 3 -> 580, moving up.
  s->LetterY[1] = 578;
  s->Step();
  EXPECT_EQ(AtV(*s, 1), (PosV{778, 580, -3}));

  Random.Answer(2, {1});
  Relayout(*s, efSlope);
  EXPECT_EQ(s->SlopeStep, 3);
  Frames(*s, 2);
  EXPECT_EQ(AtV(*s, 1), (PosV{796, 293, 3}));
}

TEST_F(MotionEffectTest, ScatterFliesLettersApartPastTheFirstThird) {
  auto s = StartPass(efScatter);
  // Directions: letter 1 cos[150] = 3988 -> t = 778 (cos[778] = 1509,
  // sin[778] = 3808); letter 2 cos[300] = 3670 -> t = 716 (1864, 3647).
  s->ScrollX = 262;
  s->Step();
  // Letter 1: d = 2 * (266 - 262) = 8: 1509 * 8 >> 12 = 2, 3808 * 8 >> 12 = 7.
  EXPECT_EQ(At(*s, 1), (Pos{260, 297}));
  EXPECT_EQ(At(*s, 2), (Pos{272, 290}));  // 272 > 266: still on the line
  s->ScrollX = 250;
  s->Step();
  // Letter 1: d = 32: 48288 >> 12 = 11, 121856 >> 12 = 29.
  // Letter 2: x = 260, d = 12: 22368 >> 12 = 5, 43764 >> 12 = 10.
  EXPECT_EQ(At(*s, 1), (Pos{239, 319}));
  EXPECT_EQ(At(*s, 2), (Pos{255, 300}));
  EXPECT_FALSE(s->AllGone);
}

TEST_F(MotionEffectTest, ScatterCountsALetterOffTheBottomAsGone) {
  Settings.Text = "A";
  Settings.RandomYFlag = true;
  auto s = MakeState();
  Random.Answer(580, {579});
  Relayout(*s, efScatter);
  ASSERT_EQ(s->LineY, 579);
  s->ScrollX = 250;
  s->Step();
  // d = 32: Y = 579 + 29 = 608 > SH + 4 while X = 239 is on screen.
  EXPECT_EQ(At(*s, 1), (Pos{239, 608}));
  EXPECT_TRUE(s->AllGone);
  s->ScrollX = 254;
  s->Step();
  // d = 24: 3808 * 24 >> 12 = 22: Y = 601, not yet below SH + 4.
  EXPECT_EQ(s->LetterY[1], 601);
  EXPECT_FALSE(s->AllGone);
}

TEST_F(MotionEffectTest, ScatterCountsALetterOffTheTopAsGone) {
  Settings.Text = "ABCDEFGHIJKLMN";
  Settings.RandomYFlag = true;
  auto s = MakeState();
  Random.Answer(580, {10});
  Relayout(*s, efScatter);
  // Letter 14: cos[2100] = -4083 -> t = -798 (cos[-798] = 1392, sin = -3852).
  // With x = 246: d = 40, X = 246 - (55680 >> 12 = 13) = 233,
  // Y = 10 + (-154080 >> 12 = -38) = -28, and -28 + 20 < -4.
  s->ScrollX = 246 - 130;
  s->Step();
  EXPECT_EQ(At(*s, 14), (Pos{233, -28}));
  EXPECT_FALSE(s->AllGone);  // the other letters are still on screen
}

TEST_F(MotionEffectTest, SnakeWindsAcrossTheScreenWithThePassPhase) {
  auto s = MakeState();
  Random.Answer(65536, {1000});
  Relayout(*s, efSnake);
  ASSERT_EQ(s->Phase, 1000);
  s->Step();
  // SnakeWidth div 2 = 133, SnakeCentreY div 2 = 145.
  // Letter 1: 150 + 8020 - 1000 = 7170 -> 3074, sin = -4096 -> -133;
  //           250 + 5614 = 5864 -> 1768, cos = -3724 -> -132.
  // Letter 2: 3224, sin = -3985 -> -130; 2018, cos = -4092 -> -145.
  EXPECT_EQ(At(*s, 1), (Pos{802 + 133 + 133, 290 - 132}));
  EXPECT_EQ(At(*s, 2), (Pos{812 + 130 + 133, 290 - 145}));
  s->ScrollX = -7;
  s->Step();
  // Letter 1: 150 - 70 - 1000 = -920 -> 3176, sin = -4044 -> -132;
  //           250 - 49 = 201, cos = 3903 -> 138.
  EXPECT_EQ(At(*s, 1), (Pos{-7 + 132 + 133, 290 + 138}));
}

}  // namespace
