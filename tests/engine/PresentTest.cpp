// Composing frames: background, shadow, colours along the line, mirrored
// copies, font changes, preview scaling and the next pass, on the recording
// fake surface (screen 800 x 600, letters 10 wide, H = 20).
#include <QImage>

#include "engine/QtSurface.h"
#include "tests/engine/EngineTestState.h"

namespace {

class PresentTest : public EngineTest {
 protected:
  // A state after its first Step, with the recording cleared.
  std::unique_ptr<TSaverAni> SteppedState(int32_t width = 800, int32_t height = 600) {
    auto s = MakeState(width, height);
    s->Target = &Sink;
    s->Step();
    Clear();
    return s;
  }
  void Clear() {
    Surface->Drawn.clear();
    Surface->Fills.clear();
    Surface->SizesSet.clear();
    Surface->AnglesSet.clear();
    Surface->HandOvers = 0;
  }
  std::vector<Pos> DrawnAt() const {
    std::vector<Pos> at;
    for (const auto& d : Surface->Drawn) at.push_back(Pos{d.X, d.Y});
    return at;
  }
  std::vector<TColor> DrawnColours() const {
    std::vector<TColor> colours;
    for (const auto& d : Surface->Drawn) colours.push_back(d.Color);
    return colours;
  }

  ImageSink Sink;
  Picture Desktop{QImage(800, 600, QImage::Format_RGB32)};
};

TEST_F(PresentTest, BlackBackgroundAndNoShadowWithoutTheDesktop) {
  auto s = SteppedState();
  s->Present();
  EXPECT_EQ(Surface->Fills, (std::vector<FakeSurface::Fill>{FakeSurface::Fill::Black}));
  EXPECT_EQ(DrawnAt(), (std::vector<Pos>{{802, 290}, {812, 290}}));
  EXPECT_EQ(DrawnColours(), (std::vector<TColor>{49392, 49392}));
  EXPECT_EQ(Surface->Drawn[0].FillsBefore, 1u);
  EXPECT_EQ(Surface->Drawn[0].Letter, U"A");
  EXPECT_EQ(Surface->HandOvers, 1);
  EXPECT_EQ(Surface->LastTarget, &Sink);
}

TEST_F(PresentTest, DesktopBackgroundWithABlackShadowDisplacedByAFifthOfTheSize) {
  Settings.DesktopFlag = true;
  Settings.FontSize = 50;  // shadow 50 div 20 = 2 units right and down
  auto s = SteppedState();
  s->Background = &Desktop;
  s->Present();
  EXPECT_EQ(Surface->Fills, (std::vector<FakeSurface::Fill>{FakeSurface::Fill::Background}));
  EXPECT_EQ(Surface->BackgroundCopied, &Desktop);
  EXPECT_EQ(DrawnAt(), (std::vector<Pos>{{804, 292}, {814, 292}, {802, 290}, {812, 290}}));
  EXPECT_EQ(DrawnColours(), (std::vector<TColor>{0, 0, 49392, 49392}));
  // Colour emoji cast black silhouettes, not coloured copies.
  std::vector<bool> silhouettes;
  for (const auto& d : Surface->Drawn) silhouettes.push_back(d.Silhouette);
  EXPECT_EQ(silhouettes, (std::vector<bool>{true, true, false, false}));
  EXPECT_EQ(Surface->HandOvers, 1);
}

TEST_F(PresentTest, ASmallFontStillHasAShadowPassWithoutDisplacement) {
  Settings.DesktopFlag = true;
  Settings.FontSize = 19;
  auto s = SteppedState();
  s->Background = &Desktop;
  s->Present();
  EXPECT_EQ(DrawnAt(), (std::vector<Pos>{{802, 290}, {812, 290}, {802, 290}, {812, 290}}));
  EXPECT_EQ(DrawnColours(), (std::vector<TColor>{0, 0, 49392, 49392}));
}

TEST_F(PresentTest, DesktopFlagWithoutAPictureFallsBackToBlack) {
  Settings.DesktopFlag = true;
  auto s = SteppedState();
  s->Present();
  EXPECT_EQ(Surface->Fills, (std::vector<FakeSurface::Fill>{FakeSurface::Fill::Black}));
  EXPECT_EQ(Surface->Drawn.size(), 4u);  // shadow and letters
}

TEST_F(PresentTest, OnlyLettersWithinTheHorizontalRangeAreDrawn) {
  Settings.Text = "ABCDEF";
  auto s = SteppedState();
  // Range without shadow: 0 - 2 * 20 = -40 .. 800 + 20 = 820; y is not tested.
  const int32_t xs[] = {-41, -40, 820, 821, 300, 300};
  const int32_t ys[] = {0, 0, 0, 0, -5000, 5000};
  for (int i = 1; i <= 6; ++i) {
    s->LetterX[i] = xs[i - 1];
    s->LetterY[i] = ys[i - 1];
  }
  s->Present();
  EXPECT_EQ(DrawnAt(), (std::vector<Pos>{{-40, 0}, {820, 0}, {300, -5000}, {300, 5000}}));
  // With a shadow of 3 the range moves: 3 - 40 = -37 .. 800 + 20 + 3 = 823.
  Clear();
  s->Draw(3, 3, false);
  EXPECT_EQ(DrawnAt(), (std::vector<Pos>{{823, 3}, {824, 3}, {303, -4997}, {303, 5003}}));
}

TEST_F(PresentTest, ColourFadingSpreadsTheHueAlongTheLine) {
  Settings.Text = "ABCDEF";
  Settings.FontColor = 0x0000FF;  // red: hue 0, full saturation and brightness
  Settings.ColorFadingFlag = true;
  auto s = MakeState();
  Clear();
  for (int i = 1; i <= 6; ++i) s->LetterX[i] = 100 * i;
  s->LetterX[2] = 5000;  // not drawn, but still counted for the hues
  s->Present();
  ASSERT_EQ(Surface->Drawn.size(), 5u);
  // Letter 1 has Color; letter i the hue -700 * (i - 1). Hue 62736 (letter 5):
  // blue falls at 62736 + 43691 - 65536 = 40891, (43690 - 40891) * 1530 >> 16 = 65.
  // Hue 64136 (letter 3): blue at 42291, 1399 * 1530 >> 16 = 32.
  EXPECT_EQ(Surface->Drawn[0].Color, MakeColor(255, 0, 0));
  EXPECT_EQ(Surface->Drawn[1].Color, MakeColor(255, 0, 32));
  EXPECT_EQ(Surface->Drawn[3].Color, MakeColor(255, 0, 65));
  EXPECT_EQ(s->Hue, 0);  // drawing leaves the state's colour alone
}

TEST_F(PresentTest, AGreyFontStaysGreyWhileFading) {
  Settings.FontColor = MakeColor(128, 128, 128);
  Settings.ColorFadingFlag = true;
  Settings.Text = "ABCDEF";
  auto s = MakeState();
  for (int frame = 0; frame < 3; ++frame) {
    s->Step();
    Clear();
    s->Present();
    for (TColor c : DrawnColours()) EXPECT_EQ(c, MakeColor(128, 128, 128));
  }
}

TEST_F(PresentTest, MirroredLettersCarryTheirLettersColoursAndTurnOnlyWhenNeeded) {
  Settings.Text = "ABC";
  Settings.FontColor = 0x0000FF;
  Settings.ColorFadingFlag = true;
  auto s = StartPass(efVertical);
  s->Step();
  Clear();
  s->Present();
  ASSERT_EQ(Surface->Drawn.size(), 6u);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(Surface->Drawn[i].Color, Surface->Drawn[i + 3].Color) << i;
    EXPECT_EQ(Surface->Drawn[i].Letter, Surface->Drawn[i + 3].Letter) << i;
    EXPECT_EQ(Surface->Drawn[i].Angle, 900);
    EXPECT_EQ(Surface->Drawn[i + 3].Angle, 2700);
  }
  EXPECT_NE(Surface->Drawn[0].Color, Surface->Drawn[1].Color);
  // The line's angle at the start, then one turn per change.
  EXPECT_EQ(Surface->AnglesSet, (std::vector<int32_t>{0, 900, 2700}));
}

TEST_F(PresentTest, PerLetterAnglesChangeTheFontOnlyForADifferentAngle) {
  Settings.Text = "ABCDE";
  auto s = StartPass(efStumble);
  s->Step();
  Clear();
  const int32_t angles[] = {0, 0, 270, 270, 0};
  for (int i = 1; i <= 5; ++i) {
    s->LetterX[i] = 100 * i;
    s->LetterAngle[i] = angles[i - 1];
  }
  s->Present();
  EXPECT_EQ(Surface->AnglesSet, (std::vector<int32_t>{0, 270, 0}));
  ASSERT_EQ(Surface->Drawn.size(), 5u);
  EXPECT_EQ(Surface->Drawn[2].Angle, 270);
  EXPECT_EQ(Surface->Drawn[4].Angle, 0);
}

TEST_F(PresentTest, SwingTurnsTheWholeLineOnce) {
  auto s = StartPass(efSwing);
  s->ScrollX = 400;
  s->Step();  // xe = 420: 7000 -> 2904, sin -3961 * 300 >> 12 = -291, + 3600
  Clear();
  s->Present();
  EXPECT_EQ(Surface->AnglesSet, (std::vector<int32_t>{3309}));
  ASSERT_EQ(Surface->Drawn.size(), 2u);
  EXPECT_EQ(Surface->Drawn[1].Angle, 3309);
}

TEST_F(PresentTest, PreviewScalesPositionsAndSizesByTheHeightRatio) {
  Settings.Text = "AB CD";
  auto s = MakeState(400, 300);
  Relayout(*s, efInflate);
  s->ScrollX = 100;  // every word at full size 1536
  s->Step();
  Clear();
  s->Present();
  // H = 40 and letters advance 20 in screen units; CentreY = 280 and LineY =
  // 560 * 280 div 600 = 261. Surface = screen / 2 on both axes; font ToSurface(60) = 30, per
  // letter ToSurface(60 * 1536 div 1024) = 45.
  EXPECT_EQ(DrawnAt(), (std::vector<Pos>{{50, 130}, {60, 130}, {70, 130}, {80, 130}, {90, 130}}));
  EXPECT_EQ(Surface->SizesSet, (std::vector<int32_t>{30, 45, 45, 45, 45, 45}));
}

TEST_F(PresentTest, TheFrameWhereTheLastLetterLeavesLaysOutOnce) {
  for (bool desktop : {false, true}) {
    Settings.DesktopFlag = desktop;
    Settings.Text = "A\rB";
    Settings.DateTimeMode = 2;
    auto s = MakeState();
    s->Background = &Desktop;
    ASSERT_EQ(s->LineText, U"09:05:07");
    // Letter 8 is gone once SX + 80 < -4.
    s->ScrollX = -84;
    s->Step();
    ASSERT_FALSE(s->AllGone);
    Random.Calls.clear();
    s->Present();
    EXPECT_EQ(Random.CallsWith(2), 0) << "desktop " << desktop;
    s->Step();
    ASSERT_TRUE(s->AllGone);
    Clear();
    s->Present();
    EXPECT_EQ(Random.CallsWith(2), 1) << "desktop " << desktop;
    EXPECT_EQ(s->LineText, U"A");
    EXPECT_EQ(s->ScrollX, 802);
    // The frame still shows the leaving line: x = -90 + 10k within -40.
    ASSERT_FALSE(Surface->Drawn.empty());
    EXPECT_EQ(Surface->Drawn.back().Letter, U"7");
    EXPECT_EQ(Surface->HandOvers, 1);
    // The next pass end brings the clock back.
    s->ScrollX = -100;
    s->Step();
    s->Present();
    EXPECT_EQ(s->LineText, U"09:05:07");
  }
}

TEST_F(PresentTest, PresentBeforeInitIsRefused) {
  TSaverAni blank;
  EXPECT_THROW(blank.Present(), std::logic_error);
}

}  // namespace
