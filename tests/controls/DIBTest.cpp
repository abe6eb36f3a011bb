// TDIB in memory: sizes and row addresses, errors, copy on write, colour
// tables and palettes, drawing through the surface.
#include <gtest/gtest.h>

#include <QPainter>
#include <climits>
#include <cstring>
#include <string>

#include "controls/XDIBUnit.h"
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

TEST(DIBTest, LayoutsFromCountsAndFromMasks) {
  EXPECT_EQ(kLayout565.RedMask, 0xF800u);
  EXPECT_EQ(kLayout565.GreenMask, 0x7E0u);
  EXPECT_EQ(kLayout565.BlueMask, 0x1Fu);
  EXPECT_EQ(kLayout555.RedMask, 0x7C00u);
  EXPECT_EQ(kLayout888.RedMask, 0xFF0000u);
  // 5-6-5: red shift 5+6+5-8, green 6+5-8, blue 8-5; losses 3, 2, 3.
  EXPECT_EQ(kLayout565.RedShift, 8);
  EXPECT_EQ(kLayout565.GreenShift, 3);
  EXPECT_EQ(kLayout565.BlueShift, 3);
  EXPECT_EQ(kLayout565.GreenLoss, 2);
  EXPECT_EQ(TPixelLayout::FromMasks(0xF800, 0x7E0, 0x1F), kLayout565);
  const TPixelLayout odd = TPixelLayout::FromMasks(0x30, 0xE, 0x1);
  EXPECT_EQ(odd.RedBits, 2);
  EXPECT_EQ(odd.GreenBits, 3);
  EXPECT_EQ(odd.BlueBits, 1);
  EXPECT_EQ(TPixelLayout::FromMasks(0, 0, 0).RedBits, 0);
}

TEST(DIBTest, CopiesSharePixelsUntilOneWrites) {
  TDIB first;
  first.SetDimensions(3, 2, 32);
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

}  // namespace
