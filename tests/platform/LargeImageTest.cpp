// Screen-sized images in memory of their own behave as ordinary QImages.
#include "platform/LargeImage.h"

#include <gtest/gtest.h>

namespace {

TEST(LargeImageTest, ImagesOfEverySizeAreOrdinaryImages) {
  struct Case {
    QSize size;
    QImage::Format format;
    qsizetype rowBytes;
  };
  const Case cases[] = {
      {{1920, 1080}, QImage::Format_RGB32, 1920 * 4},
      {{3840, 2160}, QImage::Format_ARGB32_Premultiplied, 3840 * 4},
      {{2001, 999}, QImage::Format_RGB888, (2001 * 3 + 3) / 4 * 4},  // rows padded to 32 bits
      {{16, 16}, QImage::Format_RGB32, 16 * 4},                      // small: as usual
  };
  for (const Case& c : cases) {
    QImage image = platform::NewLargeImage(c.size, c.format);
    ASSERT_EQ(image.size(), c.size);
    EXPECT_EQ(image.format(), c.format);
    EXPECT_EQ(image.bytesPerLine(), c.rowBytes);
    image.fill(Qt::blue);
    EXPECT_EQ(image.pixel(c.size.width() - 1, c.size.height() - 1), qRgb(0, 0, 255));
    // A copy made to change it leaves the original alone.
    QImage changed = image;
    changed.setPixel(0, 0, qRgb(1, 2, 3));
    EXPECT_EQ(image.pixel(0, 0), qRgb(0, 0, 255));
  }
  EXPECT_TRUE(platform::NewLargeImage(QSize(0, 50), QImage::Format_RGB32).isNull());
}

}  // namespace
