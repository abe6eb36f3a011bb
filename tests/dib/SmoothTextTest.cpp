// Smooth text: the blend of a mask into a 24-bit bitmap, byte for byte on
// masks made by hand, and the mask and the whole routine with a real font.
#include <gtest/gtest.h>

#include <QFontMetrics>
#include <string>

#include "dib/XTextUnit.h"
#include "tests/support/QtTestApplication.h"

namespace {

struct Rgb {
  int red, green, blue;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

TDIB Target(int width, int height, Rgb fill) {
  TDIB dib;
  dib.SetDimensions(width, height, 24);
  for (int y = 0; y < height; ++y) {
    uint8_t* row = dib.RowAddress(y);
    for (int x = 0; x < width; ++x) {
      row[3 * x] = static_cast<uint8_t>(fill.blue);
      row[3 * x + 1] = static_cast<uint8_t>(fill.green);
      row[3 * x + 2] = static_cast<uint8_t>(fill.red);
    }
  }
  return dib;
}

Rgb At(TDIB& dib, int x, int y) {
  const uint8_t* pixel = dib.RowAddress(y) + 3 * x;
  return Rgb{pixel[2], pixel[1], pixel[0]};
}

// A mask of width x height whose value at (x, y) is value(x, y).
template <typename Value>
TDIB Mask(int width, int height, Value value) {
  TDIB mask;
  mask.SetDimensions(width, height, 8);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) mask.RowAddress(y)[x] = static_cast<uint8_t>(value(x, y));
  }
  return mask;
}

TEST(SmoothTextTest, LevelsAreClampedToOneToFour) {
  const int cases[][2] = {{-3, 1}, {0, 1}, {1, 1}, {2, 2}, {4, 4}, {5, 4}, {100, 4}};
  for (const auto& c : cases) EXPECT_EQ(SmoothTextLevel(c[0]), c[1]) << c[0];
}

TEST(SmoothTextTest, CoverageBlendsTheColourOverThePixelExactly) {
  struct Case {
    const char* what;
    int level;
    int maskValue;     // every mask pixel
    int litPerBlock;   // or: this many pixels of a block at 255, the rest 0
    Rgb old, color, expected;
  };
  // new = old * (256 - a) / 256 + color * a / 255, with a = sum >> (2 * level).
  const Case cases[] = {
      {"full coverage gives exactly the colour", 2, 255, -1, {200, 100, 50}, {12, 34, 56}, {12, 34, 56}},
      {"full coverage at level 4 too", 4, 255, -1, {255, 255, 255}, {0, 128, 1}, {0, 128, 1}},
      {"no coverage leaves the pixel", 3, 0, -1, {200, 100, 50}, {12, 34, 56}, {200, 100, 50}},
      // a = 16 * 100 >> 4 = 100: 10 * 156 / 256 = 6, 255 * 100 / 255 = 100.
      {"a grey mask at level 2", 2, 100, -1, {10, 10, 10}, {255, 0, 255}, {106, 6, 106}},
      // a = 4 * 100 >> 2 = 100, the same sums at level 1.
      {"a grey mask at level 1", 1, 100, -1, {10, 10, 10}, {255, 0, 255}, {106, 6, 106}},
      // 8 of 16 lit: a = 2040 >> 4 = 127; 200 * 129 / 256 = 100, 255 * 127 / 255 = 127,
      // 100 * 129 / 256 = 50, 0; 50 * 129 / 256 = 25, 60 * 127 / 255 = 29.
      {"half a block lit", 2, -1, 8, {200, 100, 50}, {255, 0, 60}, {227, 50, 54}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const int factor = 1 << c.level;
    TDIB mask = Mask(factor, factor, [&](int x, int y) {
      if (c.litPerBlock < 0) return c.maskValue;
      return y * factor + x < c.litPerBlock ? 255 : 0;
    });
    TDIB target = Target(1, 1, c.old);
    BlendSmoothTextMask(target, mask, 0, 0, c.level,
                        MakeColor(static_cast<uint8_t>(c.color.red), static_cast<uint8_t>(c.color.green),
                                  static_cast<uint8_t>(c.color.blue)));
    EXPECT_EQ(At(target, 0, 0), c.expected);
  }
}

TEST(SmoothTextTest, AMaskCoversWidthAndHeightOverTheFactorClippedToTheTarget) {
  struct Case {
    const char* what;
    int maskWidth, maskHeight, x, y, targetWidth, targetHeight;
    int left, top, right, bottom;  // the pixels that change, inclusive
  };
  const Case cases[] = {
      {"56 x 20 at level 2 covers 14 x 5", 56, 20, 3, 2, 30, 10, 3, 2, 16, 6},
      {"left of and above the target", 56, 20, -4, -3, 30, 10, 0, 0, 9, 1},
      {"past the right and bottom edges", 56, 20, 25, 8, 30, 10, 25, 8, 29, 9},
      {"wholly outside", 56, 20, -14, 0, 30, 10, 1, 1, 0, 0},
  };
  const Rgb grey{90, 90, 90}, yellow{255, 255, 0};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TDIB mask = Mask(c.maskWidth, c.maskHeight, [](int, int) { return 255; });
    TDIB target = Target(c.targetWidth, c.targetHeight, grey);
    BlendSmoothTextMask(target, mask, c.x, c.y, 2, MakeColor(255, 255, 0));
    for (int y = 0; y < c.targetHeight; ++y) {
      for (int x = 0; x < c.targetWidth; ++x) {
        const bool covered = x >= c.left && x <= c.right && y >= c.top && y <= c.bottom;
        ASSERT_EQ(At(target, x, y), covered ? yellow : grey) << x << "," << y;
      }
    }
  }
}

TEST(SmoothTextTest, ClippedBlocksLandWhereTheyWouldHaveLanded) {
  // Blocks of 4 x 4 (level 2), block (bx, by) uniformly 10 * (4 * by + bx + 1).
  TDIB mask = Mask(16, 16, [](int x, int y) { return 10 * (4 * (y / 4) + x / 4 + 1); });
  TDIB target = Target(3, 3, {0, 0, 0});
  BlendSmoothTextMask(target, mask, -1, -2, 2, MakeColor(255, 255, 255));
  // Target (0, 0) shows block (1, 2): a = 10 * 10 = 100; (2, 1) shows block (3, 3): 160.
  EXPECT_EQ(At(target, 0, 0), (Rgb{100, 100, 100}));
  EXPECT_EQ(At(target, 2, 1), (Rgb{160, 160, 160}));
  EXPECT_EQ(At(target, 0, 2), (Rgb{0, 0, 0}));  // below the mask
}

TEST(SmoothTextTest, OnlyTwentyFourBitTargetsAreDrawnOn) {
  for (const int bits : {8, 32}) {
    TDIB target;
    target.SetDimensions(4, 4, bits);
    target.Surface().Font.Color = MakeColor(255, 255, 255);
    try {
      DrawSmoothText(target, "x", 0, 0, 2);
      ADD_FAILURE() << bits << " bits drawn on";
    } catch (const EInvalidGraphicOperation& error) {
      EXPECT_EQ(std::string(error.what()), "Bitcount in invalid (" + std::to_string(bits) + ")");
    }
    EXPECT_EQ(target.RowAddress(0)[0], 0);
  }
}

TEST(SmoothTextTest, TheMaskIsTheEnlargedTextInWholeBlocksPlusOne) {
  TDIBFont font;
  font.Name = "DejaVu Sans";
  font.Height = -13;
  for (const int level : {1, 2, 4}) {
    SCOPED_TRACE(level);
    const int factor = 1 << level;
    TDIB mask = BuildSmoothTextMask(font, TDIBBrush{0, bsClear}, "Lettrance", level);
    QFont enlarged("DejaVu Sans");
    enlarged.setPixelSize(13 * factor);
    const QFontMetrics metrics(enlarged);
    const int w = metrics.horizontalAdvance("Lettrance");
    const int h = metrics.ascent() + metrics.descent();
    EXPECT_EQ(mask.BitsPerPixel(), 8);
    EXPECT_EQ(mask.ImageWidth(), (w + 2 * factor - 1) / factor * factor);
    EXPECT_EQ(mask.ImageHeight(), (h + 2 * factor - 1) / factor * factor);
    EXPECT_EQ(mask.ColorTable, GreyRampTable());
    const QImage pixels = mask.ToImage();
    int white = 0;
    for (int y = 0; y < pixels.height(); ++y) {
      for (int x = 0; x < pixels.width(); ++x) white += pixels.pixelIndex(x, y) == 255;
    }
    EXPECT_GT(white, 20 * factor * factor);
  }
}

TEST(SmoothTextTest, TextBlendsTheFontColourOverTheBackground) {
  TDIB target = Target(231, 39, {0, 0, 0});
  TDIBCanvas& canvas = target.Surface();
  canvas.Font.Name = "DejaVu Sans";
  canvas.Font.Height = 39;
  canvas.Font.Color = MakeColor(40, 200, 120);
  canvas.Brush.Style = bsClear;
  DrawSmoothText(target, "", 0, 0, 2);
  EXPECT_EQ(At(target, 5, 20), (Rgb{0, 0, 0}));
  DrawSmoothText(target, "Lettrance", 0, 0, 2);
  int exact = 0, changed = 0;
  for (int y = 0; y < 39; ++y) {
    for (int x = 0; x < 231; ++x) {
      const Rgb pixel = At(target, x, y);
      changed += !(pixel == Rgb{0, 0, 0});
      exact += pixel == Rgb{40, 200, 120};
      // Over black a pixel only ever gets a part of each channel.
      ASSERT_LE(pixel.red, 40);
      ASSERT_LE(pixel.green, 200);
      ASSERT_LE(pixel.blue, 120);
    }
  }
  EXPECT_GT(exact, 50);    // inside the strokes
  EXPECT_GT(changed, exact);  // and the edges in between
  // A solid brush fills the text's cell in the mask: all of it becomes the colour.
  TDIB boxed = Target(40, 20, {9, 9, 9});
  boxed.Surface().Font = canvas.Font;
  boxed.Surface().Font.Height = -8;
  boxed.Surface().Brush = TDIBBrush{MakeColor(255, 255, 255), bsSolid};
  DrawSmoothText(boxed, "ii", 2, 3, 2);
  EXPECT_EQ(At(boxed, 2, 3), (Rgb{40, 200, 120}));
  EXPECT_EQ(At(boxed, 1, 3), (Rgb{9, 9, 9}));
}

}  // namespace
