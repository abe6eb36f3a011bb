#include "platform/x11/XImagePixels.h"

#include <gtest/gtest.h>

#include <QImage>
#include <cstdint>
#include <cstring>
#include <vector>

// Last: Xlib defines macros (None, Status, Bool) that clash with other headers.
#include <X11/Xlib.h>

using platform::HoldsRgb32;
using platform::MakeOpaque;
using platform::ToQImage;

namespace {

constexpr int kMachineOrder = QSysInfo::ByteOrder == QSysInfo::LittleEndian ? LSBFirst : MSBFirst;

// An Xlib image over `data`, made without a server.
XImage MakeImage(std::vector<char>& data, int width, int height, int bitsPerPixel,
                 int bytesPerLine, unsigned long red, unsigned long green, unsigned long blue) {
  XImage image{};
  image.width = width;
  image.height = height;
  image.format = ZPixmap;
  image.data = data.data();
  image.byte_order = kMachineOrder;
  image.bitmap_unit = 32;
  image.bitmap_bit_order = MSBFirst;
  image.bitmap_pad = 32;
  image.depth = bitsPerPixel == 32 ? 24 : bitsPerPixel;
  image.bytes_per_line = bytesPerLine;
  image.bits_per_pixel = bitsPerPixel;
  image.red_mask = red;
  image.green_mask = green;
  image.blue_mask = blue;
  EXPECT_NE(XInitImage(&image), 0);
  return image;
}

template <typename Word>
void Put(std::vector<char>& data, int bytesPerLine, int x, int y, Word pixel) {
  std::memcpy(data.data() + y * bytesPerLine + x * static_cast<int>(sizeof(Word)), &pixel,
              sizeof(Word));
}

TEST(XImagePixelsTest, MakeOpaqueSetsTheFourthByteOfCountPixelsOnly) {
  uint32_t pixels[] = {0x00000000u, 0x00123456u, 0xFF000000u, 0x80ABCDEFu, 0x00000001u};
  MakeOpaque(pixels, 4);
  const uint32_t expected[] = {0xFF000000u, 0xFF123456u, 0xFF000000u, 0xFFABCDEFu, 0x00000001u};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(pixels[i], expected[i]) << i;
}

TEST(XImagePixelsTest, OnlyThirtyTwoBitRgbInThisMachinesOrderHoldsRgb32) {
  std::vector<char> data(16);
  struct Case {
    int bits;
    unsigned long red, green, blue;
    int order;
    bool holds;
  };
  const int otherOrder = kMachineOrder == LSBFirst ? MSBFirst : LSBFirst;
  const Case cases[] = {
      {32, 0xFF0000, 0xFF00, 0xFF, kMachineOrder, true},
      {32, 0xFF, 0xFF00, 0xFF0000, kMachineOrder, false},  // blue and red swapped
      {32, 0xFF0000, 0xFF00, 0xFF, otherOrder, false},
      {16, 0xF800, 0x07E0, 0x001F, kMachineOrder, false},
      {32, 0xFF0000, 0, 0xFF, kMachineOrder, false},
  };
  for (const Case& c : cases) {
    XImage image = MakeImage(data, 1, 1, c.bits, 4, c.red, c.green, c.blue);
    image.byte_order = c.order;
    EXPECT_EQ(HoldsRgb32(image), c.holds) << c.bits << " bits, red mask " << c.red;
  }
}

TEST(XImagePixelsTest, Rgb32RowsAreCopiedAndMadeOpaque) {
  // Two pixels a row, rows padded to 12 bytes.
  std::vector<char> data(24, '\x55');
  Put<uint32_t>(data, 12, 0, 0, 0x00123456u);
  Put<uint32_t>(data, 12, 1, 0, 0x00FFFFFFu);
  Put<uint32_t>(data, 12, 0, 1, 0x00000000u);
  Put<uint32_t>(data, 12, 1, 1, 0x00800001u);
  XImage image = MakeImage(data, 2, 2, 32, 12, 0xFF0000, 0xFF00, 0xFF);
  const QImage picture = ToQImage(image);
  ASSERT_EQ(picture.size(), QSize(2, 2));
  EXPECT_EQ(picture.format(), QImage::Format_RGB32);
  // The words as stored (QImage::pixel would add the fourth byte itself).
  const auto* top = reinterpret_cast<const uint32_t*>(picture.constScanLine(0));
  const auto* bottom = reinterpret_cast<const uint32_t*>(picture.constScanLine(1));
  EXPECT_EQ(top[0], 0xFF123456u);
  EXPECT_EQ(top[1], 0xFFFFFFFFu);
  EXPECT_EQ(bottom[0], 0xFF000000u);
  EXPECT_EQ(bottom[1], 0xFF800001u);
}

TEST(XImagePixelsTest, OtherLayoutsScaleEachChannelFromItsMask) {
  // 5-6-5 bits: a channel of value v in a mask of maximum m becomes v * 255 / m,
  // rounded down.
  struct Case {
    uint16_t pixel;
    QRgb expected;
  };
  const Case cases[] = {
      {0xF800, qRgb(255, 0, 0)},
      {0x07E0, qRgb(0, 255, 0)},
      {0x001F, qRgb(0, 0, 255)},
      {0x8000, qRgb(131, 0, 0)},    // red 16 of 31: 4080 / 31
      {0x0400, qRgb(0, 129, 0)},    // green 32 of 63: 8160 / 63
      {0x0001, qRgb(0, 0, 8)},      // blue 1 of 31: 255 / 31
      {0x0821, qRgb(8, 4, 8)},      // 1, 1, 1: green 255 / 63
      {0xFFFF, qRgb(255, 255, 255)},
  };
  const int count = static_cast<int>(std::size(cases));
  std::vector<char> data(static_cast<size_t>(count) * 2 + 2);  // one row, padded to 4 bytes
  for (int i = 0; i < count; ++i) Put<uint16_t>(data, 0, i, 0, cases[i].pixel);
  XImage image = MakeImage(data, count, 1, 16, (count * 2 + 3) / 4 * 4, 0xF800, 0x07E0, 0x001F);
  const QImage picture = ToQImage(image);
  ASSERT_EQ(picture.size(), QSize(count, 1));
  for (int i = 0; i < count; ++i) {
    EXPECT_EQ(picture.pixel(i, 0), cases[i].expected) << "pixel " << std::hex << cases[i].pixel;
  }
}

TEST(XImagePixelsTest, AChannelWithoutMaskReadsZero) {
  std::vector<char> data(4);
  Put<uint32_t>(data, 4, 0, 0, 0x00ABCDEFu);
  XImage image = MakeImage(data, 1, 1, 32, 4, 0xFF0000, 0, 0xFF);
  EXPECT_EQ(ToQImage(image).pixel(0, 0), qRgb(0xAB, 0, 0xEF));
}

}  // namespace
