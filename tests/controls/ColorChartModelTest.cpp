#include <gtest/gtest.h>

#include <vector>

#include "controls/ColorChartModel.h"

namespace {

// A 32-bit picture in plain memory, every pixel preset to a sentinel.
struct Picture32 {
  static constexpr uint32_t kUntouched = 0xDEADBEEF;
  int width, height;
  std::vector<uint32_t> pixels;
  Picture32(int w, int h) : width(w), height(h), pixels(static_cast<size_t>(w * h), kUntouched) {}
  TPixelRows32 Rows() {
    return {reinterpret_cast<uint8_t*>(pixels.data()), static_cast<ptrdiff_t>(width * 4), width,
            height};
  }
  TColor At(int x, int y) const { return FromPixel32(pixels[static_cast<size_t>(y * width + x)]); }
};

constexpr TColor kWhite = MakeColor(255, 255, 255);
constexpr TColor kBlack = 0;
constexpr TColor kRed = MakeColor(255, 0, 0);

TEST(ColorChartModelTest, LightnessRampsMeetAtThePureHue) {
  EXPECT_EQ(ChartSaturation(0), 65535);
  EXPECT_EQ(ChartSaturation(32767), 65535);
  EXPECT_EQ(ChartSaturation(32768), 65534);
  EXPECT_EQ(ChartSaturation(65535), 0);
  EXPECT_EQ(ChartBrightness(0), 0);
  EXPECT_EQ(ChartBrightness(32767), 65534);
  EXPECT_EQ(ChartBrightness(32768), 65535);
  EXPECT_EQ(ChartBrightness(65535), 65535);
}

TEST(ColorChartModelTest, PicksAtTheEdgesOfBothKinds) {
  // A 95 x 63 chart: the middle row 31 sits at 31 * 65535 / 62 = 32767.
  const int w = 95, h = 63;
  const struct {
    TColorChoiceKind kind;
    int x, y;
    TColor expected;
  } cases[] = {
      {ccHorizontal, 0, 0, kWhite},
      {ccHorizontal, 47, 0, kWhite},
      {ccHorizontal, 94, 62, kBlack},
      {ccHorizontal, 10, 62, kBlack},
      {ccHorizontal, 0, 31, kRed},
      {ccHorizontal, 94, 31, kRed},
      {ccVertical, 0, 30, kBlack},
      {ccVertical, 94, 5, kWhite},
      // Dragged off the chart: the nearest edge.
      {ccHorizontal, -40, -3, kWhite},
      {ccHorizontal, 500, 31, kRed},
      {ccHorizontal, 20, 900, kBlack},
      {ccVertical, -1, -1, kBlack},
      {ccVertical, 1000, 62, kWhite},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ChartColorAt(c.kind, c.x, c.y, w, h), c.expected)
        << "kind " << c.kind << " at " << c.x << "," << c.y;
  // Halfway along the hue axis of a 3-pixel axis is hue 65535 - 32767 = cyan:
  // (0, 254, 255) lifted by saturation 65534 at brightness 65535.
  EXPECT_EQ(ChartColorAt(ccHorizontal, 1, 1, 3, 3), MakeColor(0, 254, 255));
}

TEST(ColorChartModelTest, AnAxisOfOnePixelContributesNothing) {
  // One pixel high: the hue axis of a vertical chart stays at red, lightness
  // still follows x. One pixel wide: lightness stays black.
  EXPECT_EQ(ChartColorAt(ccVertical, 0, 0, 40, 1), kBlack);
  EXPECT_EQ(ChartColorAt(ccVertical, 39, 0, 40, 1), kWhite);
  EXPECT_EQ(ChartColorAt(ccHorizontal, 0, 5, 40, 1), kWhite);
  EXPECT_EQ(ChartColorAt(ccVertical, 0, 20, 1, 40), kBlack);
  EXPECT_EQ(ChartColorAt(ccHorizontal, 0, 39, 1, 40), kBlack);
  EXPECT_EQ(ChartColorAt(ccHorizontal, 3, 3, 1, 1), kWhite);
  EXPECT_EQ(ChartColorAt(ccHorizontal, 3, 3, 0, 0), kWhite);

  Picture32 line(5, 1);
  RenderChart32(ccHorizontal, line.Rows());
  // Lightness 65535: saturation 0, brightness 65535, shifted: 255 * 65535 >> 16.
  for (int x = 0; x < 5; ++x) EXPECT_EQ(line.At(x, 0), MakeColor(254, 254, 254));

  Picture32 none(4, 4);
  RenderChart32(ccHorizontal, {none.Rows().Row0, 16, 0, 4});
  RenderChart32(ccVertical, {none.Rows().Row0, 16, 4, 0});
  for (uint32_t pixel : none.pixels) EXPECT_EQ(pixel, Picture32::kUntouched);
}

TEST(ColorChartModelTest, HighColourPaintingWritesShiftedColoursInBitmapOrder) {
  // 3 x 3, steps 32767: lightness 65535, 32768, 1 down; hue 65535, 32768, 1 across.
  Picture32 chart(3, 3);
  RenderChart32(ccHorizontal, chart.Rows());
  EXPECT_EQ(chart.pixels[0], 0xFFFEFEFEu);
  EXPECT_EQ(chart.pixels[3], 0xFFFE0000u);  // red, blue in the lowest byte
  EXPECT_EQ(chart.At(1, 1), MakeColor(0, 254, 254));
  EXPECT_EQ(chart.At(0, 2), kBlack);
  EXPECT_EQ(chart.At(2, 2), kBlack);

  Picture32 vertical(3, 3);
  RenderChart32(ccVertical, vertical.Rows());
  EXPECT_EQ(vertical.At(0, 1), kBlack);
  // Lightness 65534: saturation 2, brightness 65535.
  EXPECT_EQ(vertical.At(2, 0), MakeColor(254, 254, 254));
  EXPECT_EQ(vertical.At(1, 1), MakeColor(0, 254, 254));
}

TEST(ColorChartModelTest, LowColourPaintingFillsEightByEightBlocks) {
  // 17 x 17: block steps 8 * 65535 / 16 = 32767 on both axes.
  std::vector<std::tuple<int, int, TColor>> blocks;
  ForEachChartBlock(ccHorizontal, 17, 17,
                    [&](int x, int y, TColor color) { blocks.emplace_back(x, y, color); });
  ASSERT_EQ(blocks.size(), 9u);
  EXPECT_EQ(blocks[0], std::make_tuple(0, 0, kWhite));
  EXPECT_EQ(blocks[3], std::make_tuple(0, 8, kRed));
  EXPECT_EQ(blocks[4], std::make_tuple(8, 8, MakeColor(0, 254, 255)));
  EXPECT_EQ(blocks[8], std::make_tuple(16, 16, kBlack));

  int calls = 0;
  ForEachChartBlock(ccVertical, 0, 10, [&](int, int, TColor) { ++calls; });
  ForEachChartBlock(ccVertical, 1, 1, [&](int, int, TColor) { ++calls; });
  EXPECT_EQ(calls, 1);
}

TEST(ColorChartModelTest, LightColoursTakeBlackInk) {
  const struct {
    TColor color;
    bool light;
  } cases[] = {
      {MakeColor(0, 0, 128), false},     {MakeColor(0, 0, 255), true},
      {MakeColor(160, 0, 0), false},     {MakeColor(161, 0, 0), true},
      {MakeColor(0, 128, 0), false},     {MakeColor(0, 129, 0), true},
      {MakeColor(0, 0, 224), false},     {MakeColor(0, 0, 225), true},
      {MakeColor(160, 128, 224), false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsLightColor(c.color), c.light) << std::hex << c.color;
}

}  // namespace
