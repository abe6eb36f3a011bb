#pragma once
// Checks on pictures shared by the tests of drawing at twice the density.

#include <QImage>

// 2 x 2 blocks that are not one colour: none in a picture merely enlarged.
inline long MixedBlocks(const QImage& picture) {
  const QImage image = picture.convertToFormat(QImage::Format_RGB32);
  long count = 0;
  for (int y = 0; y + 1 < image.height(); y += 2) {
    for (int x = 0; x + 1 < image.width(); x += 2) {
      const QRgb p = image.pixel(x, y);
      if (image.pixel(x + 1, y) != p || image.pixel(x, y + 1) != p ||
          image.pixel(x + 1, y + 1) != p) {
        ++count;
      }
    }
  }
  return count;
}
