#include <gtest/gtest.h>

#include <climits>

#include "controls/XNiceScrollBarGeometry.h"

namespace {

TNiceScrollBarGeometry Bar(TScrollBarKind kind, TScrollModes mode, int width, int height,
                           int32_t min, int32_t max, int32_t smallChange = 1) {
  TNiceScrollBarGeometry bar;
  bar.Kind = kind;
  bar.Button = kind;
  bar.ScrollMode = mode;
  bar.Width = width;
  bar.Height = height;
  bar.Min = min;
  bar.Max = max;
  bar.SmallChange = smallChange;
  return bar;
}

TEST(NiceScrollBarGeometryTest, ButtonsAndCaptionSitWhereTheValuesPutThem) {
  TNiceScrollBarGeometry captioned = Bar(sbHorizontal, smNormal, 217, 28, 0, 100);
  captioned.LabelShown = true;
  captioned.TextHeight = 13;
  // 13 + (28 - 12 - 13) / 2 + 12 / 2: caption and buttons centred together.
  EXPECT_EQ(captioned.LineCenter(), QPoint(108, 20));
  EXPECT_EQ(captioned.LabelOrigin(), QPoint(108, 1));

  TNiceScrollBarGeometry tallButtons = Bar(sbVertical, smMinMax, 28, 200, 0, 100);
  tallButtons.Button = sbHorizontal;  // 16 x 12 on a vertical track

  const struct {
    const char* what;
    TNiceScrollBarGeometry bar;
    int index;
    int32_t value;
    QPoint origin;
  } cases[] = {
      // 50 * 193 / 100 = 96.5, truncated.
      {"normal, middle", Bar(sbHorizontal, smNormal, 217, 28, 0, 100), 0, 50, {96, 8}},
      {"normal, end", Bar(sbHorizontal, smNormal, 217, 28, 0, 100), 0, 100, {193, 8}},
      {"captioned", captioned, 0, 100, {193, 14}},
      // Equal values put the buttons side by side: 185 * 50 / 100 = 92.
      {"range, lower", Bar(sbHorizontal, smMinMax, 217, 28, 0, 100), 0, 50, {92, 8}},
      {"range, upper", Bar(sbHorizontal, smMinMax, 217, 28, 0, 100), 1, 50, {108, 8}},
      // Max at the top: (100 - 25) * 176 / 100 = 132.
      {"vertical", Bar(sbVertical, smNormal, 28, 200, 0, 100), 0, 25, {8, 132}},
      {"vertical range, lower", tallButtons, 0, 25, {6, 144}},
      {"vertical range, upper", tallButtons, 1, 25, {6, 132}},
      {"empty range", Bar(sbHorizontal, smNormal, 217, 28, 5, 5), 0, 5, {0, 8}},
      // A bar narrower than its button keeps the buttons at the start.
      {"too narrow", Bar(sbHorizontal, smNormal, 20, 28, 0, 100), 0, 100, {0, 8}},
      {"too narrow, range", Bar(sbHorizontal, smMinMax, 20, 28, 0, 100), 1, 100, {16, 8}},
      {"too low", Bar(sbVertical, smNormal, 28, 20, 0, 100), 0, 0, {8, 0}},
      // The product 2^31 * 193 needs more than 32 bits.
      {"full range", Bar(sbHorizontal, smNormal, 217, 28, INT32_MIN, INT32_MAX), 0, 0, {96, 8}},
      {"full range, end",
       Bar(sbHorizontal, smNormal, 217, 28, INT32_MIN, INT32_MAX),
       0,
       INT32_MAX,
       {193, 8}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.bar.ButtonOrigin(c.index, c.value), c.origin) << c.what;
  }
}

TEST(NiceScrollBarGeometryTest, ButtonPositionSnapsToTheNearestStep) {
  const TNiceScrollBarGeometry size = Bar(sbHorizontal, smNormal, 217, 28, 8, 200, 2);
  const TNiceScrollBarGeometry vertical = Bar(sbVertical, smNormal, 28, 200, 0, 100, 5);
  const TNiceScrollBarGeometry range = Bar(sbHorizontal, smMinMax, 217, 28, 0, 100);
  const TNiceScrollBarGeometry full = Bar(sbHorizontal, smNormal, 217, 28, INT32_MIN, INT32_MAX);
  const struct {
    const char* what;
    TNiceScrollBarGeometry bar;
    int index;
    QPoint corner;
    int32_t position, position2;
    int32_t value;
  } cases[] = {
      // 8 + 2 * ((88 * 192 / 2 + 96) / 193) = 8 + 2 * 44.
      {"size bar", size, 0, {88, 0}, 50, 50, 96},
      {"left of the track", size, 0, {-40, 0}, 50, 50, 8},
      {"right of the track", size, 0, {400, 0}, 50, 50, 200},
      // Counted down from Max: (66 * 100 / 5 + 88) / 176 = 8 steps.
      {"vertical", vertical, 0, {0, 66}, 0, 0, 60},
      // (92 * 100 + 92) / 185 = 50; button 1 counts from one button in.
      {"range, lower", range, 0, {92, 0}, 10, 90, 50},
      {"range, upper", range, 1, {108, 0}, 10, 90, 50},
      {"range, lower stops at the upper", range, 0, {200, 0}, 10, 60, 60},
      {"range, upper stops at the lower", range, 1, {0, 0}, 40, 90, 40},
      // (96 * (2^32 - 1) + 96) / 193 = 2136356789 steps above INT32_MIN.
      {"full range", full, 0, {96, 0}, 0, 0, -11126859},
      {"mouse far away", full, 0, {INT_MAX, 0}, 0, 0, INT32_MAX},
      {"empty range", Bar(sbHorizontal, smNormal, 217, 28, 7, 7), 0, {150, 0}, 7, 7, 7},
      // A step of 0 counts as 1: (100 * 10 + 96) / 193 = 5.
      {"step 0", Bar(sbHorizontal, smNormal, 217, 28, 0, 10, 0), 0, {100, 0}, 3, 3, 5},
      // Too narrow to move: the value stays.
      {"too narrow", Bar(sbHorizontal, smNormal, 24, 28, 0, 10), 0, {20, 0}, 3, 3, 3},
      {"too narrow, range", Bar(sbHorizontal, smMinMax, 30, 28, 0, 10), 1, {0, 0}, 3, 6, 6},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.bar.PositionFromButton(c.index, c.corner, c.position, c.position2), c.value)
        << c.what;
  }
}

}  // namespace
