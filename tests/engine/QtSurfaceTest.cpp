// The Qt drawing surface, checked on its pixels: black fill, letter placement
// from the top-left corner, rotation sense, colours, transparency, the
// background copy and the hand-over of frames.
#include "engine/QtSurface.h"

#include <QFontMetrics>

#include "tests/support/QtTestApplication.h"

namespace {

constexpr std::u32string_view kBlock = U"\u2588";  // a glyph that fills its whole cell

class QtSurfaceTest : public ::testing::Test {
 protected:
  QtSurfaceTest() : surface(400, 300) {
    surface.SetFontFace("DejaVu Sans");
    surface.SetFontSize(30);  // 40 pixels
    surface.SetFontColor(MakeColor(10, 20, 30));
    surface.FillBlack();
  }
  QRgb At(int x, int y) const { return surface.Image().pixel(x, y); }
  TextExtent Block() { return surface.MeasureText(kBlock); }

  QtSurface surface;
  const QRgb black = qRgb(0, 0, 0);
  const QRgb ink = qRgb(10, 20, 30);
};

TEST_F(QtSurfaceTest, PointSizesAreAt96DotsPerInch) {
  EXPECT_EQ(QtSurface::PixelSizeForPoints(30), 40);
  EXPECT_EQ(QtSurface::PixelSizeForPoints(60), 80);
  EXPECT_EQ(QtSurface::PixelSizeForPoints(7), 9);  // 9.33
  EXPECT_GT(QtSurface::PixelSizeForPoints(0), 0);  // the platform's default
  EXPECT_EQ(QtSurface::PixelSizeForPoints(-5), QtSurface::PixelSizeForPoints(0));
  EXPECT_EQ(QtSurface::PixelSizeForPoints(INT32_MAX), 1 << 20);  // never wraps negative
  EXPECT_EQ(surface.Font().pixelSize(), 40);
  EXPECT_EQ(surface.Image().format(), QImage::Format_RGB32);
}

TEST_F(QtSurfaceTest, ExtentsAreTheAdvanceAndAscentPlusDescent) {
  const QFontMetrics metrics(surface.Font());
  const TextExtent letter = surface.MeasureText(U"W");
  EXPECT_EQ(letter.Width, metrics.horizontalAdvance(QChar('W')));
  EXPECT_EQ(letter.Height, metrics.ascent() + metrics.descent());
  EXPECT_EQ(surface.MeasureText(U"W").Width, letter.Width);  // again, from the cache
  EXPECT_EQ(surface.MeasureText(U"").Height, letter.Height);
  surface.SetFontSize(60);
  EXPECT_GT(surface.MeasureText(U"W").Width, letter.Width);
}

TEST_F(QtSurfaceTest, ALetterFillsItsCellBelowAndRightOfItsPoint) {
  const TextExtent cell = Block();
  surface.DrawLetter(100, 50, kBlock);
  surface.HandOver(nullptr);
  EXPECT_EQ(At(100 + cell.Width / 2, 50 + cell.Height / 2), ink);
  EXPECT_EQ(At(100 + cell.Width / 2, 50 - 4), black);
  EXPECT_EQ(At(100 - 4, 50 + cell.Height / 2), black);
  EXPECT_EQ(At(100 + cell.Width / 2, 50 + cell.Height + 4), black);
}

TEST_F(QtSurfaceTest, AnglesTurnCounterClockwiseAboutTheTopLeftPoint) {
  const TextExtent cell = Block();
  surface.SetFontAngle(900);  // the cell now lies right of and above the point
  surface.DrawLetter(200, 150, kBlock);
  surface.HandOver(nullptr);
  EXPECT_EQ(At(200 + cell.Height / 2, 150 - cell.Width / 2), ink);
  EXPECT_EQ(At(200 + cell.Width / 2, 150 + cell.Height / 2), black);

  surface.FillBlack();
  surface.SetFontAngle(2700);  // left of and below the point
  surface.DrawLetter(200, 150, kBlock);
  surface.HandOver(nullptr);
  EXPECT_EQ(At(200 - cell.Height / 2, 150 + cell.Width / 2), ink);
  EXPECT_EQ(At(200 + cell.Height / 2, 150 - cell.Width / 2), black);

  // A new size comes unrotated.
  surface.SetFontSize(30);
  EXPECT_EQ(surface.Angle(), 0);
}

TEST_F(QtSurfaceTest, LettersLeaveTheBackgroundAroundThemAlone) {
  QImage white(400, 300, QImage::Format_RGB32);
  white.fill(Qt::white);
  const Picture picture(white);
  surface.CopyBackground(picture);
  surface.DrawLetter(100, 50, U"o");
  surface.HandOver(nullptr);
  EXPECT_EQ(At(98, 48), qRgb(255, 255, 255));
  EXPECT_EQ(At(300, 200), qRgb(255, 255, 255));
}

TEST_F(QtSurfaceTest, TheBackgroundIsTheTopLeftOfThePicture) {
  QImage big(500, 400, QImage::Format_ARGB32);
  for (int y = 0; y < 400; ++y)
    for (int x = 0; x < 500; ++x) big.setPixel(x, y, qRgb(x % 256, y % 256, 7));
  surface.CopyBackground(Picture(big));
  EXPECT_EQ(At(0, 0), qRgb(0, 0, 7));
  EXPECT_EQ(At(399, 299), qRgb(399 % 256, 299 % 256, 7));

  // A picture smaller than the surface leaves black around it.
  surface.CopyBackground(Picture(big.copy(0, 0, 100, 50)));
  EXPECT_EQ(At(99, 49), qRgb(99, 49, 7));
  EXPECT_EQ(At(100, 10), black);
  EXPECT_EQ(At(10, 50), black);
}

TEST_F(QtSurfaceTest, TheSinkKeepsACopyOfEachFrame) {
  ImageSink sink;
  surface.DrawLetter(100, 50, kBlock);
  surface.HandOver(&sink);
  EXPECT_EQ(sink.Frames(), 1);
  ASSERT_EQ(sink.Frame().size(), QSize(400, 300));
  EXPECT_EQ(sink.Frame(), surface.Image());
  surface.FillBlack();  // the next frame does not change the last one shown
  EXPECT_NE(sink.Frame(), surface.Image());
  surface.HandOver(&sink);
  EXPECT_EQ(sink.Frames(), 2);
  EXPECT_EQ(sink.Frame(), surface.Image());
}

TEST_F(QtSurfaceTest, TheDefaultFaceAndTinySurfacesWork) {
  QtSurface tiny(0, 0);
  EXPECT_EQ(tiny.Image().size(), QSize(1, 1));
  tiny.SetFontFace("Default");
  tiny.SetFontSize(0);
  EXPECT_GT(tiny.MeasureText(U"A").Height, 0);
  tiny.DrawLetter(-50, 100000, U"A");  // far outside: clipped
  tiny.HandOver(nullptr);
  EXPECT_EQ(tiny.Image().pixel(0, 0), qRgb(0, 0, 0));
}

}  // namespace
