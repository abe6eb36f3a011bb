// Pictures for screens of twice the density: the twice-sized forms of the
// logos and key caps, how they are chosen, and the setup preview drawn at a
// device pixel ratio of 2 (here without scaling the whole application).
#include <gtest/gtest.h>

#include <QImage>

#include "resources/LettranceResources.h"
#include "setup/SetupUnit.h"
#include "tests/support/PictureChecks.h"
#include "tests/support/QtTestApplication.h"

namespace {

// Pixels of `image` that are not `background`.
long Ink(const QImage& image, QRgb background) {
  long count = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) count += image.pixel(x, y) != background ? 1 : 0;
  }
  return count;
}

// Each pixel the mean of a 2 x 2 block, per channel (rounded down).
QImage HalfSize(const QImage& image) {
  const QImage from = image.convertToFormat(QImage::Format_RGB32);
  QImage half(from.width() / 2, from.height() / 2, QImage::Format_RGB32);
  for (int y = 0; y < half.height(); ++y) {
    for (int x = 0; x < half.width(); ++x) {
      int r = 0, g = 0, b = 0;
      for (const QPoint d : {QPoint(0, 0), QPoint(1, 0), QPoint(0, 1), QPoint(1, 1)}) {
        const QRgb p = from.pixel(2 * x + d.x(), 2 * y + d.y());
        r += qRed(p);
        g += qGreen(p);
        b += qBlue(p);
      }
      half.setPixel(x, y, qRgb(r / 4, g / 4, b / 4));
    }
  }
  return half;
}

TEST(SharpPicturesTest, TheRatioChoosesTheTwiceSizedFormWhereThereIsOne) {
  const struct {
    const char* name;
    qreal ratio;
    QSize size;  // in pixels
    qreal shownRatio;
  } cases[] = {
      {"VANDORLOGO", 1.0, {72, 36}, 1.0},
      {"VANDORLOGO", 2.0, {144, 72}, 2.0},
      {"VANDORLOGO", 1.5, {144, 72}, 2.0},  // enlarged less is still enlarged
      {"LETTRANCELOGO", 1.0, {240, 36}, 1.0},
      {"LETTRANCELOGO", 2.0, {480, 72}, 2.0},
      {"EMPTYKEYBITMAPPAL", 2.0, {64, 48}, 2.0},
      {"EMPTYKEYBITMAPWIN", 2.0, {64, 48}, 2.0},
      {"EMPTYKEYBITMAPWIN", 1.0, {32, 24}, 1.0},
      {"X8X8UP", 2.0, {8, 8}, 1.0},  // no twice-sized form: the picture itself
  };
  for (const auto& c : cases) {
    const QImage picture = resources::LoadBitmap(c.name, c.ratio);
    const std::string what = std::string(c.name) + " at " + std::to_string(c.ratio);
    EXPECT_EQ(picture.size(), c.size) << what;
    EXPECT_EQ(picture.devicePixelRatio(), c.shownRatio) << what;
  }
  EXPECT_TRUE(resources::LoadBitmap("NOSUCHPICTURE", 2.0).isNull());
}

TEST(SharpPicturesTest, TheTransparentLogoKeepsItsRatio) {
  const QPixmap logo = resources::TransparentPixmap(resources::LoadBitmap("VANDORLOGO", 2.0));
  EXPECT_EQ(logo.size(), QSize(144, 72));
  EXPECT_EQ(logo.devicePixelRatio(), 2.0);
  EXPECT_EQ(logo.toImage().pixelColor(0, 71).alpha(), 0);  // the key colour is left out
}

// The key cap at 2x: the 1x drawing with every coordinate doubled, so the
// top-left pixel of each 2 x 2 block is the 1x pixel; only the shading
// between the 1x rows and the rounder corners (the 2 x 2 1x pixels at each
// corner) are new.
TEST(SharpPicturesTest, TheTwiceSizedKeysAreTheKeysDrawnOnAFinerGrid) {
  for (const char* name : {"EMPTYKEYBITMAPPAL", "EMPTYKEYBITMAPWIN"}) {
    const QImage one = resources::LoadBitmap(name, 1.0).convertToFormat(QImage::Format_RGB32);
    const QImage two = resources::LoadBitmap(name, 2.0).convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(two.size(), one.size() * 2) << name;
    long differing = 0;
    for (int y = 0; y < one.height(); ++y) {
      for (int x = 0; x < one.width(); ++x) {
        const bool corner = (x < 2 || x >= one.width() - 2) && (y < 2 || y >= one.height() - 2);
        if (!corner) differing += two.pixel(2 * x, 2 * y) != one.pixel(x, y);
      }
    }
    EXPECT_EQ(differing, 0) << name;
    // Corners: (1, 0) of the 1x cut is (2, 0) to (3, 1) at 2x, but the
    // rounder cut keeps (2, 1) and (3, 1) as the outline, black, and cuts
    // (0, 3) instead, which 1x kept.
    const QRgb blue = qRgb(0, 0, 255), black = qRgb(0, 0, 0);
    EXPECT_EQ(two.pixel(3, 0), blue) << name;
    EXPECT_EQ(two.pixel(2, 1), black) << name;
    EXPECT_EQ(two.pixel(0, 3), blue) << name;
    EXPECT_EQ(two.pixel(61, 46), black) << name;  // the bottom-right corner, mirrored
    EXPECT_EQ(two.pixel(63, 44), blue) << name;
  }
  // The shaded key gets half steps: 1x rows 3 and 4 (the face's second and
  // third) are greys 232 and 216; at 2x, 1x row 3 is rows 6 and 7, and row 7
  // is halfway to the next: (232 + 216) / 2 = 224. Row 8 is 1x row 4.
  const QImage pal = resources::LoadBitmap("EMPTYKEYBITMAPPAL", 2.0);
  EXPECT_EQ(pal.pixel(20, 6), qRgb(232, 232, 232));
  EXPECT_EQ(pal.pixel(20, 7), qRgb(224, 224, 224));
  EXPECT_EQ(pal.pixel(20, 8), qRgb(216, 216, 216));
}

// The logos at 2x: the same letters on a finer grid, so they cover the same
// share of the picture, give or take the smoothed steps. Smoothing fills the
// inner corner of each step: a letter of the pixel font gains up to a sixth
// of its ink ("C": 13 cells, 60 at 2x instead of 52); the whole logos,
// with their scan lines and wave, well under a tenth.
TEST(SharpPicturesTest, TheTwiceSizedLogosCoverWhatTheLogosCover) {
  const struct {
    const char* name;
    QRgb background;
  } logos[] = {{"VANDORLOGO", qRgb(255, 0, 255)}, {"LETTRANCELOGO", qRgb(0, 0, 0)}};
  for (const auto& logo : logos) {
    const QImage one = resources::LoadBitmap(logo.name, 1.0).convertToFormat(QImage::Format_RGB32);
    const QImage two = resources::LoadBitmap(logo.name, 2.0).convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(two.size(), one.size() * 2) << logo.name;
    const double ratio = static_cast<double>(Ink(two, logo.background)) /
                         (4.0 * static_cast<double>(Ink(one, logo.background)));
    EXPECT_NEAR(ratio, 1.0, 0.1) << logo.name;
    EXPECT_GT(MixedBlocks(two), 50) << logo.name << " is only enlarged";
  }
}

// The preview at a ratio of 2 is drawn, not enlarged: twice the pixels, the
// same coverage, and smooth edges of its own.
TEST(SharpPicturesTest, ThePreviewAtRatioTwoIsTheSamePictureWithTwiceThePixels) {
  const QString text = QStringLiteral("Lettrance");
  const TColor red = 0x0000FF;
  const QImage one = SetupPreviewPicture({231, 39}, 1.0, "DejaVu Sans", red, text);
  const QImage two = SetupPreviewPicture({231, 39}, 2.0, "DejaVu Sans", red, text);
  EXPECT_EQ(one.size(), QSize(231, 39));
  EXPECT_EQ(one.devicePixelRatio(), 1.0);
  ASSERT_EQ(two.size(), QSize(462, 78));
  EXPECT_EQ(two.devicePixelRatio(), 2.0);

  // Coverage: red over black, so the red channel is the ink.
  const QImage half = HalfSize(two);
  const QImage first = one.convertToFormat(QImage::Format_RGB32);
  long inkOne = 0, inkHalf = 0, difference = 0;
  for (int y = 0; y < first.height(); ++y) {
    for (int x = 0; x < first.width(); ++x) {
      inkOne += qRed(first.pixel(x, y));
      inkHalf += qRed(half.pixel(x, y));
      difference += std::abs(qRed(first.pixel(x, y)) - qRed(half.pixel(x, y)));
      EXPECT_EQ(qGreen(half.pixel(x, y)) + qBlue(half.pixel(x, y)), 0);
    }
  }
  ASSERT_GT(inkOne, 0);
  EXPECT_NEAR(static_cast<double>(inkHalf) / static_cast<double>(inkOne), 1.0, 0.03);
  // Edges fall a little differently on the finer grid, but the letters are in
  // the same places: on average well under a tenth of full ink per pixel.
  EXPECT_LT(static_cast<double>(difference) / (231.0 * 39.0), 255.0 / 10);
  EXPECT_GT(MixedBlocks(two.convertToFormat(QImage::Format_RGB32)), 100) << "only enlarged";
}

}  // namespace
