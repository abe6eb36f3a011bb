#include <gtest/gtest.h>

#include <vector>

#include "controls/ColorBoxModel.h"
#include "controls/ColorBoxRender.h"

namespace {

constexpr TColor kBlue = MakeColor(0, 0, 255);
constexpr int kHueMode = 0, kSaturationMode = 1, kRedMode = 3, kGreenMode = 4;

TColorBoxColor FromHsb(uint16_t h, uint16_t s, uint16_t b) {
  TColorBoxColor color;
  color.Hsb = {h, s, b};
  color.Rgb = HSBToColor(h, s, b);
  return color;
}

TEST(ColorBoxModelTest, PureBlueInHueModeShowsItsMarkersValuesAndCode) {
  const TColorBoxColor blue = TColorBoxColor::FromRgb(kBlue);
  // Hue 43691 / 256 = 170: strip row 85; full saturation and brightness: top right.
  EXPECT_EQ(MarkersOf(blue, kHueMode), (TColorMarkers{255, 0, 85}));
  EXPECT_EQ(EditValuesOf(blue), (std::array<int32_t, 6>{240, 100, 100, 0, 0, 255}));
  EXPECT_EQ(HtmlCodeOf(blue.Rgb), "0000FF");
  // Red mode: green across, blue down, red in the strip.
  EXPECT_EQ(MarkersOf(blue, kRedMode), (TColorMarkers{0, 0, 255}));
}

TEST(ColorBoxModelTest, EditsRoundHalvesToEven) {
  const struct {
    int64_t n, d, rounded;
  } cases[] = {{5, 2, 2}, {7, 2, 4}, {1, 2, 0}, {3, 2, 2}, {4, 3, 1}, {5, 3, 2}, {0, 7, 0}};
  for (const auto& c : cases) EXPECT_EQ(RoundHalfEven(c.n, c.d), c.rounded) << c.n << "/" << c.d;

  // 1632 * 100 / 65280 = 2.5 and 4896 * 100 / 65280 = 7.5; a full turn of hue
  // shows 360, which the edit then clamps to 359.
  EXPECT_EQ(EditValuesOf(FromHsb(65535, 1632, 4896))[0], 360);
  EXPECT_EQ(EditValuesOf(FromHsb(65535, 1632, 4896))[1], 2);
  EXPECT_EQ(EditValuesOf(FromHsb(65535, 1632, 4896))[2], 8);
  // Hue 60 is 10922.5, rounded to the even 10922: green one short of full.
  const TColorBoxColor yellow = CommitHsbEdits(60, 100, 100);
  EXPECT_EQ(yellow.Hsb, (THSB{10922, 65280, 65280}));
  EXPECT_EQ(HtmlCodeOf(yellow.Rgb), "FFFE00");
  EXPECT_EQ(CommitHsbEdits(359, 50, 0).Hsb, (THSB{65353, 32640, 0}));
}

TEST(ColorBoxModelTest, CommittingRedRecomputesHueSaturationAndBrightness) {
  const TColorBoxColor violet = CommitRgbEdits(80, 0, 255);
  EXPECT_EQ(HtmlCodeOf(violet.Rgb), "5000FF");
  // Blue strongest, green weakest, red follows blue: 43691 + 80 * 43.
  EXPECT_EQ(violet.Hsb, (THSB{47131, 65280, 65280}));
  EXPECT_EQ(EditValuesOf(violet), (std::array<int32_t, 6>{259, 100, 100, 80, 0, 255}));
}

TEST(ColorBoxModelTest, HtmlCodeTakesExactlySixHexDigits) {
  EXPECT_EQ(HtmlCodeOf(MakeColor(255, 128, 0)), "FF8000");
  EXPECT_EQ(HtmlCodeOf(MakeColor(1, 2, 171)), "0102AB");
  EXPECT_EQ(ParseHtmlCode("FF8000"), MakeColor(255, 128, 0));
  EXPECT_EQ(ParseHtmlCode("0102ab"), MakeColor(1, 2, 171));
  for (const char* bad : {"12345", "GGGGGG", "1234567", "", " FF800", "+FFFFF", "-00001", "0x1234",
                          "12 345", "FF80 0"})
    EXPECT_EQ(ParseHtmlCode(bad), std::nullopt) << "'" << bad << "'";
}

TEST(ColorBoxModelTest, PicksClampToTheFieldAndSetTheirChannels) {
  TColorBoxColor red = TColorBoxColor::FromRgb(MakeColor(255, 0, 0));
  // Saturation 128 * 256, brightness (255 - 64) * 256 of hue 0.
  EXPECT_EQ(PickFieldColor(red, kHueMode, 128, 64), (TColorMarkers{128, 64, 255}));
  EXPECT_EQ(red.Hsb, (THSB{0, 32768, 48896}));
  EXPECT_EQ(red.Rgb, MakeColor(191, 95, 95));

  TColorBoxColor c = TColorBoxColor::FromRgb(MakeColor(10, 20, 30));
  EXPECT_EQ(PickFieldColor(c, kRedMode, 300, -20), (TColorMarkers{255, 0, 245}));
  EXPECT_EQ(c.Rgb, MakeColor(10, 255, 255));
  EXPECT_EQ(c.Hsb, ColorToHSB(MakeColor(10, 255, 255)));
  EXPECT_EQ(PickStripColor(c, kRedMode, 999), (TColorMarkers{255, 0, 255}));
  EXPECT_EQ(c.Rgb, MakeColor(0, 255, 255));

  TColorBoxColor full = FromHsb(0, 65280, 65280);
  PickStripColor(full, kHueMode, 85);  // hue (255 - 85) * 256
  EXPECT_EQ(full.Rgb, MakeColor(0, 3, 255));
  PickStripColor(full, kHueMode, -10);  // hue 65280
  EXPECT_EQ(full.Rgb, MakeColor(255, 0, 5));
}

TEST(ColorBoxModelTest, StripRowsRunFromTheChannelMaximumDown) {
  const TColorBoxColor any = TColorBoxColor::FromRgb(MakeColor(10, 20, 30));
  EXPECT_EQ(StripRowColor(any, kHueMode, 0), MakeColor(255, 0, 0));
  EXPECT_EQ(StripRowColor(any, kHueMode, 85), MakeColor(1, 0, 255));
  EXPECT_EQ(StripRowColor(any, kHueMode, 255), MakeColor(255, 5, 0));
  // Saturation mode at brightness 128: the full hue at the top, grey below.
  const TColorBoxColor darkRed = FromHsb(0, 65280, 32768);
  EXPECT_EQ(StripRowColor(darkRed, kSaturationMode, 0), MakeColor(128, 0, 0));
  EXPECT_EQ(StripRowColor(darkRed, kSaturationMode, 255), MakeColor(128, 128, 128));
  EXPECT_EQ(StripRowColor(any, kGreenMode, 0), MakeColor(10, 255, 30));
  EXPECT_EQ(StripRowColor(any, kGreenMode, 255), MakeColor(10, 0, 30));

  int blocks = 0;
  ForEachStripBlock(any, kGreenMode, [&](int y, TColor color) {
    EXPECT_EQ(color, MakeColor(10, static_cast<uint8_t>(255 - y), 30));
    EXPECT_EQ(y, 8 * blocks++);
  });
  EXPECT_EQ(blocks, 32);
}

TEST(ColorBoxModelTest, FieldColumnsInterpolateTowardZero) {
  const TColumnEnds ends{MakeColor(255, 0, 10), MakeColor(0, 255, 0)};
  EXPECT_EQ(InterpolateColumn(ends, 0), MakeColor(255, 0, 10));
  // 10 + (-10 * 1) / 255 truncates to 10, not 9.
  EXPECT_EQ(InterpolateColumn(ends, 1), MakeColor(254, 1, 10));
  EXPECT_EQ(InterpolateColumn(ends, 128), MakeColor(127, 128, 5));
  EXPECT_EQ(InterpolateColumn(ends, 255), MakeColor(0, 255, 0));

  // Hue mode, hue 0: saturation across, brightness down.
  const TColorBoxColor red = FromHsb(0, 65280, 65280);
  EXPECT_EQ(FieldColumnEnds(red, kHueMode, 255).Top, MakeColor(255, 0, 0));
  EXPECT_EQ(FieldColumnEnds(red, kHueMode, 255).Bottom, 0u);
  EXPECT_EQ(FieldColumnEnds(red, kHueMode, 0).Top, MakeColor(255, 255, 255));
}

TEST(ColorBoxModelTest, FieldRendersOnlyItsDirtyRectangle) {
  std::vector<uint32_t> pixels(256 * 256, 0xDEADBEEF);
  const TPixelRows32 rows{reinterpret_cast<uint8_t*>(pixels.data()), 1024, 256, 256};
  const TColorBoxColor red = FromHsb(0, 65280, 65280);
  // The marker square at (2, 250), clamped to columns 0..9 and rows 242..255.
  RenderField32(red, kHueMode, TFieldRect::AroundMarker(2, 250), rows);
  int written = 0;
  for (int y = 0; y < 256; ++y)
    for (int x = 0; x < 256; ++x)
      if (pixels[static_cast<size_t>(y * 256 + x)] != 0xDEADBEEF) {
        ++written;
        EXPECT_TRUE(x < 10 && y >= 242) << x << "," << y;
      }
  EXPECT_EQ(written, 10 * 14);
  // Column 0 is grey: 255 - 255 * 250 / 255 = 5.
  EXPECT_EQ(FromPixel32(rows.Row(250)[0]), MakeColor(5, 5, 5));

  RenderField32(red, kHueMode, TFieldRect::WholeField(), rows);
  EXPECT_EQ(FromPixel32(rows.Row(128)[255]), MakeColor(127, 0, 0));
  EXPECT_EQ(FromPixel32(rows.Row(0)[0]), MakeColor(255, 255, 255));

  // Few colours: blocks from the rectangle's corner rounded down to 16.
  std::vector<std::tuple<int, int, TColor>> blocks;
  const TColorBoxColor c = TColorBoxColor::FromRgb(MakeColor(10, 20, 30));
  ForEachFieldBlock(c, kRedMode, TFieldRect::AroundMarker(20, 20),
                    [&](int x, int y, TColor color) { blocks.emplace_back(x, y, color); });
  ASSERT_EQ(blocks.size(), 4u);
  EXPECT_EQ(blocks[1], std::make_tuple(16, 0, MakeColor(10, 16, 255)));
  EXPECT_EQ(blocks[2], std::make_tuple(0, 16, MakeColor(10, 0, 239)));
}

}  // namespace
