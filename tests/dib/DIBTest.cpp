// TDIB in memory: sizes and row addresses, errors, copy on write, colour
// tables and palettes, drawing through the surface.
#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QPainter>
#include <climits>
#include <cstring>
#include <string>

#include "dib/XDIBUnit.h"
#include "tests/support/QtTestApplication.h"

namespace {

std::string ErrorOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const std::exception& error) {
    return error.what();
  }
  return "";
}

TEST(DIBTest, RowsArePaddedToFourBytesAndRowZeroIsTheTopRow) {
  struct Case {
    int width, height, bits, rowBytes;
  };
  // 4 * ((bits * width + 31) / 32), worked by hand.
  const Case cases[] = {{231, 39, 24, 696}, {1, 1, 1, 4},  {33, 2, 1, 8},   {7, 3, 4, 4},
                        {9, 3, 4, 8},       {5, 2, 8, 8},  {3, 2, 16, 8},   {5, 5, 32, 20}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.bits));
    TDIB dib;
    if (c.bits == 16) dib.RequestedLayout = kLayout565;
    dib.SetDimensions(c.width, c.height, c.bits);
    EXPECT_EQ(dib.RowBytes(), c.rowBytes);
    EXPECT_EQ(dib.PixelBytes(), int64_t{c.rowBytes} * c.height);
    EXPECT_EQ(dib.ImageWidth(), c.width);
    EXPECT_EQ(dib.ImageHeight(), c.height);
    EXPECT_EQ(dib.BitsPerPixel(), c.bits);
    EXPECT_EQ(dib.ColorCount(), c.bits <= 8 ? 1 << c.bits : 0);
    EXPECT_EQ(dib.RowAddress(c.height - 1) - dib.RowAddress(0), int64_t{c.rowBytes} * (c.height - 1));
    EXPECT_EQ(dib.RowAddress(0), dib.Pixels());
    // New pixels are zero, never stale memory.
    for (int row = 0; row < c.height; ++row) {
      const uint8_t* bytes = dib.RowAddress(row);
      EXPECT_EQ(std::count(bytes, bytes + c.rowBytes, 0), c.rowBytes);
    }
  }
}

TEST(DIBTest, BadBitCountsFormatsAndRowsAreRefusedAndLeaveTheImage) {
  TDIB dib;
  dib.SetDimensions(4, 4, 24);
  dib.RowAddress(0)[0] = 7;
  EXPECT_EQ(ErrorOf([&] { dib.SetDimensions(4, 4, 2); }), "Bitcount in invalid (2)");
  EXPECT_EQ(ErrorOf([&] { dib.SetDimensions(4, 4, 16); }), "PixelFormat in invalid");
  dib.RequestedLayout = TPixelLayout::FromMasks(0xFF, 0xFF00, 0xFF0000);  // blue on top
  EXPECT_EQ(ErrorOf([&] { dib.SetDimensions(8, 4, 32); }), "PixelFormat in invalid");
  EXPECT_EQ(ErrorOf([&] { dib.RowAddress(4); }),
            "Index of the scanning line exceeded the range. (4)");
  EXPECT_EQ(ErrorOf([&] { dib.RowAddress(-1); }),
            "Index of the scanning line exceeded the range. (-1)");
  dib.RequestedLayout = kLayout888;
  EXPECT_EQ(ErrorOf([&] { dib.SetDimensions(1 << 20, 1 << 20, 32); }), "DIB cannot be made");
  EXPECT_EQ(ErrorOf([&] { dib.SetDimensions(INT_MAX, INT_MAX, 32); }), "DIB cannot be made");
  EXPECT_EQ(dib.ImageWidth(), 4);
  EXPECT_EQ(dib.BitsPerPixel(), 24);
  EXPECT_EQ(dib.RowAddress(0)[0], 7);
  dib.SetDimensions(0, 4, 24);
  EXPECT_TRUE(dib.IsEmpty());
}

TEST(DIBTest, LayoutsFromMasksCountTheOneBitsFromTheLowest) {
  // 5-6-5: masks F800, 7E0, 1F; shifts 5+6+5-8, 6+5-8, 8-5.
  EXPECT_EQ(TPixelLayout::FromMasks(0xF800, 0x7E0, 0x1F), kLayout565);
  EXPECT_EQ(kLayout565.RedShift, 8);
  EXPECT_EQ(kLayout565.GreenShift, 3);
  EXPECT_EQ(kLayout565.BlueShift, 3);
  const TPixelLayout odd = TPixelLayout::FromMasks(0x30, 0x1E0, 0);
  EXPECT_EQ(odd.RedBits, 2);
  EXPECT_EQ(odd.GreenBits, 4);
  EXPECT_EQ(odd.BlueBits, 0);
}

TEST(DIBTest, CopiesSharePixelsUntilOneWrites) {
  TDIB first;
  first.SetDimensions(3, 2, 24);
  first.RowAddress(1)[0] = 11;
  TDIB second(first);
  EXPECT_EQ(second.ToImage().constBits(), first.ToImage().constBits());
  second.RowAddress(1)[0] = 22;
  EXPECT_EQ(first.RowAddress(1)[0], 11);
  EXPECT_EQ(second.RowAddress(1)[0], 22);
  TDIB third;
  third = second;
  third.Surface().Brush.Color = MakeColor(1, 2, 3);
  third.Surface().FillRect(QRect(0, 0, 3, 2));
  EXPECT_EQ(second.RowAddress(1)[0], 22);
  EXPECT_EQ(third.RowAddress(1)[0], 3);  // blue in the lowest byte
  third.AssignFrom(nullptr);
  EXPECT_TRUE(third.IsEmpty());
}

TEST(DIBTest, ColourTablesApplyOnlyToTheirOwnCopyAndShareOnePalette) {
  TPaletteManager& manager = TPaletteManager::Instance();
  const int before = manager.PaletteCount();
  TDIB first;
  first.SetDimensions(2, 2, 8);
  TDIB second;
  second.SetDimensions(5, 1, 8);
  const TPaletteHandle handle = first.GetPaletteHandle();
  EXPECT_NE(handle, 0u);
  EXPECT_EQ(second.GetPaletteHandle(), handle);
  EXPECT_EQ(manager.References(handle), 2);
  EXPECT_EQ(manager.PaletteCount(), before + 1);
  {
    TDIB third(first);
    third.ColorTable[5] = TColorEntry{1, 2, 3, 0};
    third.ApplyColors();
    EXPECT_NE(third.GetPaletteHandle(), handle);
    EXPECT_EQ(manager.Colors(third.GetPaletteHandle())[5], qRgb(3, 2, 1));
    EXPECT_EQ(first.ColorTable[5], (TColorEntry{5, 5, 5, 0}));
  }
  second.ClearToEmpty();
  EXPECT_EQ(manager.References(handle), 1);
  EXPECT_EQ(manager.Colors(handle).size(), 256);
  first.ClearToEmpty();
  EXPECT_EQ(manager.PaletteCount(), before);
  TDIB wide;
  wide.SetDimensions(2, 2, 24);
  EXPECT_EQ(wide.GetPaletteHandle(), 0u);
}

TEST(DIBTest, SurfaceDrawsOnEveryDepth) {
  for (const int bits : {1, 4, 8, 16, 24, 32}) {
    SCOPED_TRACE(bits);
    TDIB dib;
    if (bits == 16) dib.RequestedLayout = kLayout555;
    dib.ColorTable[0] = TColorEntry{0, 0, 0, 0};
    dib.ColorTable[1] = TColorEntry{255, 255, 255, 0};
    dib.SetDimensions(8, 4, bits);
    TDIBCanvas& canvas = dib.Surface();
    canvas.Brush.Color = MakeColor(255, 255, 255);
    canvas.FillRect(QRect(2, 1, 3, 2));
    const QImage image = dib.ToImage().convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < 4; ++y) {
      for (int x = 0; x < 8; ++x) {
        const bool inside = x >= 2 && x < 5 && y >= 1 && y < 3;
        EXPECT_EQ(image.pixel(x, y) & 0xFFFFFF, inside ? 0xFFFFFFu : 0u) << x << "," << y;
      }
    }
  }
}

TEST(DIBTest, WidthAndHeightAloneResizeOrEmpty) {
  TDIB dib;
  dib.SetImageHeight(5);  // an empty bitmap becomes 1 x 5 at 8 bits
  EXPECT_EQ(dib.ImageWidth(), 1);
  EXPECT_EQ(dib.ImageHeight(), 5);
  EXPECT_EQ(dib.BitsPerPixel(), 8);
  dib.SetDimensions(3, 5, 32);
  dib.SetImageWidth(7);
  EXPECT_EQ(dib.ImageWidth(), 7);
  EXPECT_EQ(dib.BitsPerPixel(), 32);
  dib.SetImageHeight(0);
  EXPECT_TRUE(dib.IsEmpty());
}

QImage Filled(QImage::Format format, QRgb color) {
  QImage image(3, 2, format);
  image.fill(QColor::fromRgba(color));  // as a colour: fill(uint) would store raw bits
  return image;
}

TEST(DIBTest, PicturesAreTakenAtTheirOwnDepthWhereALayoutFits) {
  QImage indexed(3, 2, QImage::Format_Indexed8);
  indexed.setColorTable({qRgb(1, 2, 3), qRgb(200, 100, 50)});
  indexed.fill(1);
  QImage mono(3, 2, QImage::Format_Mono);
  mono.setColorTable({qRgb(0, 0, 0), qRgb(9, 8, 7)});
  mono.fill(1);
  struct Case {
    const char* what;
    QImage picture;
    int bits;
    QRgb pixel;
  };
  const Case cases[] = {
      {"mono", mono, 1, qRgb(9, 8, 7)},
      {"indexed", indexed, 8, qRgb(200, 100, 50)},
      {"grey", Filled(QImage::Format_Grayscale8, qRgb(77, 77, 77)), 8, qRgb(77, 77, 77)},
      {"5-6-5", Filled(QImage::Format_RGB16, qRgb(255, 0, 255)), 16, qRgb(255, 0, 255)},
      {"5-5-5", Filled(QImage::Format_RGB555, qRgb(0, 255, 0)), 16, qRgb(0, 255, 0)},
      {"24 bits", Filled(QImage::Format_RGB888, qRgb(1, 2, 3)), 24, qRgb(1, 2, 3)},
      {"32 bits", Filled(QImage::Format_RGB32, qRgb(4, 5, 6)), 32, qRgb(4, 5, 6)},
      {"alpha goes over black", Filled(QImage::Format_ARGB32, qRgba(200, 100, 0, 128)), 32,
       qRgb(100, 50, 0)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TDIB dib;
    dib.AssignFrom(c.picture);
    EXPECT_EQ(dib.BitsPerPixel(), c.bits);
    EXPECT_EQ(dib.ImageWidth(), 3);
    const QRgb got = dib.ToImage().pixel(2, 1) & 0xFFFFFF;
    EXPECT_NEAR(qRed(got), qRed(c.pixel), 1);
    EXPECT_NEAR(qGreen(got), qGreen(c.pixel), 1);
    EXPECT_EQ(qBlue(got), qBlue(c.pixel));
  }
  TDIB none;
  none.SetDimensions(1, 1, 8);
  none.AssignFrom(QImage());
  EXPECT_TRUE(none.IsEmpty());
}

TEST(DIBTest, DrawIntoStretchesTheWholeImageAndCopyRectIntoCopiesPart) {
  TDIB dib;
  dib.SetDimensions(2, 1, 24);
  dib.RowAddress(0)[5] = 255;  // pixel 1 red
  QImage canvas(4, 2, QImage::Format_RGB32);
  canvas.fill(Qt::white);
  QPainter painter(&canvas);
  dib.DrawInto(painter, QRect(0, 0, 4, 2));
  EXPECT_EQ(canvas.pixel(1, 1), qRgb(0, 0, 0));
  EXPECT_EQ(canvas.pixel(2, 0), qRgb(255, 0, 0));
  EXPECT_EQ(canvas.pixel(3, 1), qRgb(255, 0, 0));
  canvas.fill(Qt::white);
  dib.CopyRectInto(painter, QRect(0, 1, 1, 1), QRect(1, 0, 1, 1));
  painter.end();
  EXPECT_EQ(canvas.pixel(0, 1), qRgb(255, 0, 0));
  EXPECT_EQ(canvas.pixel(0, 0), qRgb(255, 255, 255));
  EXPECT_EQ(canvas.pixel(1, 1), qRgb(255, 255, 255));
  // 32-bit pixels written with their fourth byte 0 still draw opaque.
  TDIB wide;
  wide.SetDimensions(1, 1, 32);
  wide.RowAddress(0)[1] = 200;
  QImage withAlpha(1, 1, QImage::Format_ARGB32_Premultiplied);
  withAlpha.fill(Qt::transparent);
  QPainter onAlpha(&withAlpha);
  wide.DrawInto(onAlpha, QRect(0, 0, 1, 1));
  onAlpha.end();
  EXPECT_EQ(withAlpha.pixel(0, 0), qRgb(0, 200, 0));
  EXPECT_EQ(wide.RowAddress(0)[3], 0);  // the pixels themselves keep it
}

// The surface's operations on a 24-bit bitmap, pixel by pixel.
class DIBCanvasTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dib.SetDimensions(8, 6, 24);
    canvas().Brush.Color = kGrey;
    canvas().FillRect(QRect(0, 0, 8, 6));
  }
  TDIBCanvas& canvas() { return dib.Surface(); }
  TColor At(int x, int y) {
    const uint8_t* p = dib.RowAddress(y) + 3 * x;
    return MakeColor(p[2], p[1], p[0]);
  }
  static constexpr TColor kGrey = MakeColor(0xF0, 0x80, 0x0F);
  TDIB dib;
};

TEST_F(DIBCanvasTest, RectangleFramesWithThePenAndFillsWithTheBrush) {
  canvas().Pen.Color = MakeColor(255, 0, 0);
  canvas().Brush.Color = MakeColor(0, 0, 255);
  canvas().Rectangle(1, 1, 5, 4);  // corners (1, 1) and (4, 3)
  const char* expected[] = {"........",
                            ".PPPP...",
                            ".PBBP...",
                            ".PPPP...",
                            "........",
                            "........"};
  for (int y = 0; y < 6; ++y) {
    for (int x = 0; x < 8; ++x) {
      const char c = expected[y][x];
      const TColor want = c == 'P' ? MakeColor(255, 0, 0) : c == 'B' ? MakeColor(0, 0, 255) : kGrey;
      EXPECT_EQ(At(x, y), want) << x << "," << y;
    }
  }
  canvas().Brush.Style = bsClear;
  canvas().FillRect(QRect(0, 0, 8, 6));
  EXPECT_EQ(At(0, 0), kGrey);
}

TEST_F(DIBCanvasTest, CopyModesCombineThePictureWithThePixels) {
  struct Case {
    TCopyMode mode;
    TColor expected;
  };
  // Picture 0x0F, 0xFF, 0x33 over 0xF0, 0x80, 0x0F.
  const Case cases[] = {{cmSrcCopy, MakeColor(0x0F, 0xFF, 0x33)},
                        {cmSrcAnd, MakeColor(0x00, 0x80, 0x03)},
                        {cmSrcPaint, MakeColor(0xFF, 0xFF, 0x3F)},
                        {cmSrcInvert, MakeColor(0xFF, 0x7F, 0x3C)},
                        {cmMergePaint, MakeColor(0xF0, 0x80, 0xCF)}};
  QImage picture(2, 1, QImage::Format_RGB32);
  picture.fill(qRgb(0x0F, 0xFF, 0x33));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mode);
    SetUp();
    canvas().CopyMode = c.mode;
    canvas().Draw(3, 2, picture);
    EXPECT_EQ(At(3, 2), c.expected);
    EXPECT_EQ(At(4, 2), c.expected);
    EXPECT_EQ(At(5, 2), kGrey);
  }
}

TEST_F(DIBCanvasTest, TransparentPixelsAndFocusRectangles) {
  QImage marker(2, 1, QImage::Format_RGB32);
  marker.setPixel(0, 0, qRgb(128, 128, 0));  // the transparent colour
  marker.setPixel(1, 0, qRgb(1, 2, 3));
  canvas().DrawTransparent(0, 0, marker, MakeColor(128, 128, 0));
  EXPECT_EQ(At(0, 0), kGrey);
  EXPECT_EQ(At(1, 0), MakeColor(1, 2, 3));
  canvas().DrawFocusRect(QRect(2, 1, 5, 4));
  EXPECT_EQ(At(2, 1), MakeColor(0x0F, 0x7F, 0xF0));  // inverted
  EXPECT_EQ(At(3, 1), kGrey);                        // every other pixel
  EXPECT_EQ(At(4, 3), kGrey);                        // inside untouched
  canvas().DrawFocusRect(QRect(2, 1, 5, 4));
  EXPECT_EQ(At(2, 1), kGrey);
}

TEST_F(DIBCanvasTest, TextOnASolidBrushFillsItsCell) {
  canvas().Font.Name = "DejaVu Sans";
  canvas().Font.Height = 6;  // the cell, ascent + descent
  const QSize extent = canvas().TextExtent("..");
  EXPECT_LE(extent.height(), 6);
  EXPECT_GE(extent.height(), 5);
  canvas().Brush.Color = MakeColor(0, 0, 0);
  canvas().TextOut(1, 0, "..");
  EXPECT_EQ(At(1, 0), MakeColor(0, 0, 0));
  EXPECT_EQ(At(extent.width(), 0), MakeColor(0, 0, 0));
  EXPECT_EQ(At(extent.width() + 1, 0), kGrey);
  EXPECT_EQ(At(0, 0), kGrey);
}

TEST(DIBTest, CellHeightsGiveTheLargestFontWhoseCellFits) {
  for (const int height : {9, 13, 39, 156}) {
    TDIBFont font;
    font.Name = "DejaVu Sans";
    font.Height = height;
    QFont qfont("DejaVu Sans");
    qfont.setPixelSize(font.PixelSize());
    const QFontMetrics fits(qfont);
    EXPECT_LE(fits.ascent() + fits.descent(), height);
    qfont.setPixelSize(font.PixelSize() + 1);
    const QFontMetrics larger(qfont);
    EXPECT_GT(larger.ascent() + larger.descent(), height);
  }
}

}  // namespace
