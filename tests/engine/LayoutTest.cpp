// Laying out passes: effect choice, line order, start positions, per-effect
// start adjustments and the starting colour.
#include "tests/engine/EngineTestState.h"

namespace {

using LayoutTest = EngineTest;

std::u32string Text(const TSaverAni& s) {
  return s.LineText;
}

TEST_F(LayoutTest, StartValuesOnAFullScreenSurface) {
  auto s = MakeState();
  EXPECT_EQ(Surface->Face, "DejaVu Sans");
  EXPECT_EQ(Surface->Size, 60);  // ToSurface(60) on a full-size surface
  EXPECT_EQ(s->Effect, efStandard);
  EXPECT_EQ(s->LineIndex, 0);
  EXPECT_EQ(Text(*s), U"AB");
  EXPECT_EQ(s->LetterCount, 2);
  EXPECT_EQ(s->TextHeight, 20);
  EXPECT_EQ(s->CentreY, 290);
  EXPECT_EQ(s->SnakeCentreY, 290);
  EXPECT_EQ(s->HalfWidth, 400);
  EXPECT_EQ(s->FloorY, 580);
  EXPECT_EQ(s->ScatterStart, 266);
  EXPECT_EQ(s->SnakeWidth, 266);
  EXPECT_EQ(s->ScrollX, 802);
  EXPECT_EQ(s->LineY, 290);  // RandomY off: centred
  EXPECT_EQ(AtV(*s, 1), (PosV{802, 290, 0}));
  EXPECT_EQ(AtV(*s, 2), (PosV{812, 290, 0}));
}

TEST_F(LayoutTest, PreviewSurfaceScalesMeasurementsToTheScreen) {
  auto s = MakeState(400, 300);
  // Font ToSurface(60) = 60 * 300 / 600 = 30 points; height 20 surface pixels
  // is H = 40 screen units; each letter advances 20.
  EXPECT_EQ(Surface->Size, 30);
  EXPECT_EQ(s->CentreY, 280);
  EXPECT_EQ(s->FloorY, 560);
  EXPECT_EQ(s->LetterX[2], 822);
  // An odd ratio truncates: 20 * 600 / 7 = 1714, 60 * 7 / 600 = 0.
  auto t = MakeState(9, 7);
  EXPECT_EQ(t->ToScreen(20), 1714);
  EXPECT_EQ(t->ToSurface(60), 0);
  EXPECT_EQ(t->ToSurface(-60), 0);
  EXPECT_EQ(t->ToScreen(-20), -1714);
}

TEST_F(LayoutTest, ASurfaceWithoutSizeStillWorks) {
  auto s = MakeState(0, 0);
  EXPECT_EQ(s->Width, 1);
  EXPECT_EQ(s->Height, 1);
  EXPECT_EQ(s->ToScreen(20), 12000);
  s->Step();
  EXPECT_EQ(s->LetterX[2], 802 + 6000);
}

TEST_F(LayoutTest, SlopeStepIsHalfTheSpeedRoundedUpWithARandomSign) {
  const int32_t speeds[][2] = {{1, 1}, {2, 1}, {6, 3}, {20, 10}, {0, 1}, {-4, 1}};
  for (const auto& [speed, step] : speeds) {
    Settings.Speed = speed;
    auto s = MakeState();
    Random.Answer(2, {0, 1});
    Relayout(*s, efSlope);
    EXPECT_EQ(s->SlopeStep, -step) << "speed " << speed;
    Relayout(*s, efSlope);
    EXPECT_EQ(s->SlopeStep, step) << "speed " << speed;
  }
}

TEST_F(LayoutTest, RandomHeightAndPhase) {
  Settings.RandomYFlag = true;
  auto s = MakeState();
  Random.Calls.clear();
  Random.Answer(580, {123});
  Random.Answer(65536, {4321});
  Relayout(*s, efStandard);
  EXPECT_EQ(s->LineY, 123);
  EXPECT_EQ(s->Phase, 4321);
  EXPECT_EQ(s->LetterY[1], 123);
  // Slope sign, phase, height: in this order.
  EXPECT_EQ(Random.Calls, (std::vector<int32_t>{2, 65536, 580}));
}

TEST_F(LayoutTest, ALineTallerThanTheScreenIsPlacedAtTheTop) {
  Settings.RandomYFlag = true;
  SetScreen(800, 15);
  TextHeight = 20;
  auto s = MakeState(800, 15);
  EXPECT_EQ(s->LineY, 0);
  EXPECT_EQ(s->CentreY, -2);  // (15 - 20) div 2, toward zero
  EXPECT_EQ(Random.CallsWith(-5), 0);
  Frames(*s, 3);
}

TEST_F(LayoutTest, StartAdjustmentsByEffect) {
  struct Case {
    int32_t effect;
    int32_t lineY;
    int32_t scrollX;
  };
  const Case cases[] = {
      {efStandard, 290, 802},   {efFizz, 290, 802},
      {efVertical, 195, 602},  // 290 + 100 = 390 is within 20 of 400: halved
      {efSwing, 290, 822},     // + H
      {efLoop, 290, 822},       {efUpsideDown, 270, 802},  // 560 * 290 div 600
      {efDrop, 270, 802},       {efLocomotion, 293, 802},  // 400 * 290 div 600 + 100
      {efInflate, 280, 802},                               // 580 * 290 div 600
      {efNearAndFar, 280, 802}, {efOscillate, 290, 802},
  };
  auto s = MakeState();
  for (const Case& c : cases) {
    Relayout(*s, c.effect);
    EXPECT_EQ(s->LineY, c.lineY) << EffectNames[c.effect];
    EXPECT_EQ(s->ScrollX, c.scrollX) << EffectNames[c.effect];
    EXPECT_EQ(AtV(*s, 2), (PosV{c.scrollX + 10, c.lineY, 0})) << EffectNames[c.effect];
  }
  Relayout(*s, efFizz);
  EXPECT_EQ(s->FizzRadius, 175);  // (600 - 290) div 2 + 20
}

TEST_F(LayoutTest, RandomHeightsWithinTheEffectsRanges) {
  Settings.RandomYFlag = true;
  auto s = MakeState();
  Random.Answer(580, {0, 579, 100, 0, 579});
  Relayout(*s, efLocomotion);
  EXPECT_EQ(s->LineY, 100);  // SH div 6
  Relayout(*s, efLocomotion);
  EXPECT_EQ(s->LineY, 486);  // 400 * 579 div 600 + 100 = 386 + 100
  Relayout(*s, efVertical);
  EXPECT_EQ(s->LineY, 200);  // 100 + 100, not near the middle
  Relayout(*s, efFizz);
  EXPECT_EQ(s->FizzRadius, 320);  // (600 - 0) div 2 + 20
  Relayout(*s, efUpsideDown);
  EXPECT_EQ(s->LineY, 540);  // 560 * 579 div 600
}

TEST_F(LayoutTest, EffectsOffKeepsStandard) {
  Settings.EffectsFlag = false;
  Settings.EffectCode = 1 << efLoop;
  auto s = MakeState();
  for (int pass = 0; pass < 30; ++pass) {
    EXPECT_EQ(s->Effect, efStandard);
    s->Layout();
  }
  EXPECT_EQ(Random.CallsWith(19), 0);
}

TEST_F(LayoutTest, ASingleEnabledEffectIsUsedEveryPass) {
  platform::SetRandomSource({});
  platform::SeedRandom(7);
  Settings.EffectsFlag = true;
  Settings.EffectCode = 1 << efLoop;
  auto s = MakeState();
  for (int pass = 0; pass < 50; ++pass) {
    EXPECT_EQ(s->Effect, efLoop);
    s->Layout();
  }
}

TEST_F(LayoutTest, EachCandidateDiffersFromTheOneBefore) {
  Settings.EffectsFlag = true;
  Settings.EffectCode = -1;
  Random.Answer(19, {7, 18, 0});
  auto s = MakeState();
  EXPECT_EQ(s->Effect, 8);  // (7 + 0 + 1) mod 20
  s->Layout();
  EXPECT_EQ(s->Effect, 7);  // (18 + 8 + 1) mod 20
  s->Layout();
  EXPECT_EQ(s->Effect, 8);
  // Disabled candidates are drawn again: 8 -> 9 (off) -> 10 (on).
  s->Settings.EffectCode = 1 << efSwing | 1 << efBounce;
  Random.Calls.clear();
  s->Layout();
  EXPECT_EQ(s->Effect, efSwing);
  EXPECT_EQ(Random.CallsWith(19), 2);
  // Bits above the twentieth are ignored.
  s->Settings.EffectCode = static_cast<int32_t>(0xFFF00000u) | 1 << efBounce;
  s->Layout();
  EXPECT_EQ(s->Effect, efBounce);
}

TEST_F(LayoutTest, AnEffectCodeWithoutEffectsIsRepairedToStandard) {
  Settings.EffectsFlag = true;
  for (int32_t code : {0, static_cast<int32_t>(0xFFF00000u), 1 << 20}) {
    Settings.EffectCode = code;
    auto s = MakeState();
    EXPECT_EQ(s->Settings.EffectCode, 1);  // the animation's own copy
    EXPECT_EQ(s->Effect, efStandard);
    s->Layout();
    EXPECT_EQ(s->Effect, efStandard);
  }
}

TEST_F(LayoutTest, TextLinesAlternateWithTheClock) {
  Settings.Text = "A\rB";
  Settings.DateTimeMode = 2;
  auto s = MakeState();
  const std::u32string expected[] = {U"09:05:07", U"A", U"09:05:07", U"B", U"09:05:07", U"A"};
  for (const auto& line : expected) {
    EXPECT_EQ(Text(*s), line);
    EXPECT_EQ(s->IsDateLine, line == U"09:05:07");
    s->Layout();
  }
}

TEST_F(LayoutTest, LinesInTurnWithoutTheClock) {
  Settings.Text = "A\r\n\r\nB\n";
  auto s = MakeState();
  const std::u32string expected[] = {U"A", U"", U"B", U"A"};
  for (const auto& line : expected) {
    EXPECT_EQ(Text(*s), line);
    EXPECT_FALSE(s->IsDateLine);
    s->Layout();
  }
}

TEST_F(LayoutTest, AnEmptyLineEndsInItsFirstFrame) {
  Settings.Text = "A\r\rB";
  auto s = MakeState();
  s->Layout();
  ASSERT_EQ(s->LetterCount, 0);
  s->Step();
  EXPECT_TRUE(s->AllGone);
}

TEST_F(LayoutTest, EmptyTextShowsTheDefaultLines) {
  Settings.Text = "";
  auto s = MakeState();
  EXPECT_EQ(Text(*s), U"Lettrance");
  s->Layout();
  EXPECT_EQ(Text(*s), U"20 different text effects");
  s->Layout();
  EXPECT_FALSE(s->LineText.empty());  // the invitation to the web site
  s->Layout();
  EXPECT_EQ(Text(*s), U"press S for setup");
  s->Layout();
  EXPECT_EQ(Text(*s), U"Lettrance");
}

TEST_F(LayoutTest, EmptyTextWithAClockShowsTheDateEveryPass) {
  Settings.Text = "";
  Settings.DateTimeMode = 6;
  auto s = MakeState();
  for (int pass = 0; pass < 4; ++pass) {
    EXPECT_TRUE(s->IsDateLine);
    EXPECT_EQ(Text(*s), U"09:05");
    s->Layout();
  }
}

TEST_F(LayoutTest, LongLinesAreCutToAThousandLetters) {
  const auto repeat = [](const std::string& letter) {
    std::string s;
    for (int i = 0; i < 1200; ++i) s += letter;
    return s;
  };
  // x; é in two bytes; e with a combining acute accent, one letter of two
  // code points.
  Settings.Text = repeat("x") + "\r" + repeat("\xC3\xA9") + "\r" + repeat("e\xCC\x81");
  auto s = MakeState();
  EXPECT_EQ(s->LetterCount, 1000);
  EXPECT_EQ(Text(*s), std::u32string(1000, U'x'));
  s->Layout();
  EXPECT_EQ(s->LetterCount, 1000);
  EXPECT_EQ(Text(*s), std::u32string(1000, U'\u00E9'));
  EXPECT_EQ(s->LetterX[1000], 802 + 9990);
  s->Layout();
  EXPECT_EQ(s->LetterCount, 1000);
  EXPECT_EQ(Text(*s).size(), 2000u);
  EXPECT_EQ(s->Letter(1000), U"e\u0301");
  EXPECT_EQ(s->LetterX[1000], 802 + 999 * 20);  // the fake measures 10 per code point
}

// A letter is what the surface calls one (the fake joins combining accents
// to their base): it is placed, measured and drawn as one.
TEST_F(LayoutTest, AnAccentStaysWithItsLetter) {
  Settings.Text =
      "e\xCC\x81"
      "A\xCC\x88\xCC\x81 \xCC\x81"
      "B";
  auto s = MakeState();
  Surface->Widths[U'\u0301'] = 0;
  Surface->Widths[U'\u0308'] = 4;
  s->Layout();
  ASSERT_EQ(s->LetterCount, 4);
  EXPECT_EQ(s->Letter(1), U"e\u0301");
  EXPECT_EQ(s->Letter(2), U"A\u0308\u0301");
  EXPECT_EQ(s->Letter(3), U" \u0301");
  EXPECT_EQ(s->Letter(4), U"B");
  EXPECT_EQ(s->Letter(5), U"");  // past the line
  // e + accent = 10, A + two accents = 14, blank + accent = 10.
  EXPECT_EQ(s->LetterX[2], 812);
  EXPECT_EQ(s->LetterX[3], 826);
  EXPECT_EQ(s->LetterX[4], 836);
}

TEST_F(LayoutTest, MalformedTextShowsReplacementLetters) {
  Settings.Text = "a\xFF\xE2\x82";
  auto s = MakeState();
  EXPECT_EQ(Text(*s), U"a\uFFFD\uFFFD\uFFFD");
  EXPECT_EQ(s->LetterCount, 4);
}

TEST_F(LayoutTest, RandomColourHasFullSaturationAndBrightness) {
  Settings.RandomColorFlag = true;
  auto s = MakeState();
  Random.Answer(65536, {0, 43691});  // phase, then hue
  s->Layout();
  EXPECT_EQ(s->Hue, 43691);
  EXPECT_EQ(s->Saturation, 65535);
  EXPECT_EQ(s->Brightness, 65535);
  EXPECT_EQ(s->Color, 0xFF0000u);  // pure blue
}

TEST_F(LayoutTest, FixedColourComesFromTheSettings) {
  auto s = MakeState();
  EXPECT_EQ(s->Color, 49392u);
  EXPECT_EQ(s->Hue, 8772);
  EXPECT_EQ(s->Saturation, 65280);
  EXPECT_EQ(s->Brightness, 61440);
}

TEST_F(LayoutTest, InitTakesTheSettingsItIsGivenAsTheyAre) {
  Settings.Speed = 13;
  Settings.Text = "only";
  auto s = MakeState();
  EXPECT_EQ(s->Settings.Speed, 13);
  EXPECT_EQ(Text(*s), U"only");
  // A second Init starts over with the new settings and lines.
  Settings.Text = "one\rtwo";
  Settings.Speed = 4;
  s->Layout();
  s->Init(Settings);
  EXPECT_EQ(s->EffectiveSpeed(), 4);
  EXPECT_EQ(s->LineIndex, 0);
  EXPECT_EQ(Text(*s), U"one");
  ASSERT_EQ(s->Lines.size(), 2u);
}

TEST_F(LayoutTest, DoneReleasesTheBufferAndLines) {
  auto s = MakeState();
  s->Done();
  EXPECT_FALSE(s->Buffer);
  EXPECT_TRUE(s->Lines.empty());
  EXPECT_THROW(s->Step(), std::logic_error);
  EXPECT_THROW(s->Layout(), std::logic_error);
  TSaverAni blank;
  EXPECT_THROW(blank.Init(Settings), std::logic_error);  // no way to make a buffer
}

TEST(SplitLinesTest, BreaksAtCrLfAndCrLf) {
  EXPECT_EQ(SplitLines("A\rB\nC\r\nD"), (std::vector<std::u32string>{U"A", U"B", U"C", U"D"}));
  EXPECT_EQ(SplitLines("A\n"), (std::vector<std::u32string>{U"A"}));
  EXPECT_EQ(SplitLines("\n"), (std::vector<std::u32string>{U""}));
  EXPECT_EQ(SplitLines("A\n\rB"), (std::vector<std::u32string>{U"A", U"", U"B"}));
  EXPECT_TRUE(SplitLines("").empty());
}

}  // namespace
