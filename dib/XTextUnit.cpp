#include "dib/XTextUnit.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <array>
#include <string>

namespace {

void RequireTwentyFourBits(const TDIB& target) {
  if (target.BitsPerPixel() != 24) {
    throw EInvalidGraphicOperation("Bitcount in invalid (" + std::to_string(target.BitsPerPixel()) +
                                   ")");
  }
}

}  // namespace

int SmoothTextLevel(int level) {
  return std::clamp(level, 1, 4);
}

TDIB BuildSmoothTextMask(const TDIBFont& font, const TDIBBrush& brush, const QString& text,
                         int level) {
  const int factor = 1 << SmoothTextLevel(level);
  TDIBFont enlarged = font;
  // The default size (height 0) is enlarged like any other.
  const int64_t height = font.Height != 0 ? font.Height : -int64_t{font.PixelSize()};
  enlarged.Height = static_cast<int32_t>(std::clamp<int64_t>(height * factor, -(1 << 20), 1 << 20));
  enlarged.Color = 0xFFFFFF;
  // The blocks smooth the edges; the toolkit's own smoothing would only cost.
  enlarged.Quality = fqNonAntialiased;
  const QFontMetrics metrics(enlarged.ToQFont());
  const int width = (metrics.horizontalAdvance(text) + 2 * factor - 1) / factor * factor;
  const int rows = (metrics.ascent() + metrics.descent() + 2 * factor - 1) / factor * factor;

  // Drawn in 32 bits, where QPainter is fastest, then kept as grey levels.
  QImage drawn(width, rows, QImage::Format_RGB32);
  drawn.fill(Qt::black);
  {
    QPainter painter(&drawn);
    DrawCanvasText(painter, enlarged, brush, 0, 0, text);
  }
  TDIB mask;  // a new bitmap's colours are the grey ramp: a pixel's value is its grey level
  mask.SetDimensions(width, rows, 8);
  for (int y = 0; y < rows; ++y) {
    const auto* from = reinterpret_cast<const QRgb*>(drawn.constScanLine(y));
    uint8_t* to = mask.RowAddress(y);
    // The nearest grey of a colour (a solid brush's) is its channels' mean.
    for (int x = 0; x < width; ++x) {
      to[x] = static_cast<uint8_t>((qRed(from[x]) + qGreen(from[x]) + qBlue(from[x]) + 1) / 3);
    }
  }
  return mask;
}

void BlendSmoothTextMask(TDIB& target, TDIB& mask, int x, int y, int level, TColor color) {
  if (target.IsEmpty()) return;
  RequireTwentyFourBits(target);
  level = SmoothTextLevel(level);
  const int factor = 1 << level;
  const int64_t left = std::max<int64_t>(x, 0);
  const int64_t top = std::max<int64_t>(y, 0);
  const int64_t right =
      std::min<int64_t>(int64_t{x} + mask.ImageWidth() / factor, target.ImageWidth()) - 1;
  const int64_t bottom =
      std::min<int64_t>(int64_t{y} + mask.ImageHeight() / factor, target.ImageHeight()) - 1;
  if (left > right || top > bottom) return;

  // What coverage a adds: each channel of the colour times a / 255.
  std::array<std::array<uint8_t, 3>, 256> ink{};
  const int channels[3] = {BlueOf(color), GreenOf(color), RedOf(color)};
  for (int a = 0; a < 256; ++a) {
    for (int c = 0; c < 3; ++c) ink[a][c] = static_cast<uint8_t>(channels[c] * a / 255);
  }

  const uint8_t* block[16];
  for (int64_t ty = top; ty <= bottom; ++ty) {
    for (int j = 0; j < factor; ++j) {
      block[j] = mask.RowAddress(static_cast<int>((ty - y) * factor + j));
    }
    uint8_t* out = target.RowAddress(static_cast<int>(ty));
    for (int64_t tx = left; tx <= right; ++tx) {
      const int64_t column = (tx - x) * factor;
      uint16_t sum = 0;
      for (int j = 0; j < factor; ++j) {
        for (int k = 0; k < factor; ++k) sum = static_cast<uint16_t>(sum + block[j][column + k]);
      }
      const int a = sum >> (2 * level);
      uint8_t* pixel = out + 3 * tx;
      for (int c = 0; c < 3; ++c) {
        pixel[c] = static_cast<uint8_t>(pixel[c] * (256 - a) / 256 + ink[a][c]);
      }
    }
  }
}

void DrawSmoothText(TDIB& target, const QString& text, int x, int y, int level) {
  if (target.IsEmpty()) return;
  RequireTwentyFourBits(target);
  TDIBCanvas& canvas = target.Surface();
  TDIB mask = BuildSmoothTextMask(canvas.Font, canvas.Brush, text, level);
  BlendSmoothTextMask(target, mask, x, y, level, canvas.Font.Color);
}

TDIB SmoothTextPreview(QSize size, const QString& face, TColor color, const QString& text,
                       int level) {
  TDIB dib;
  dib.SetDimensions(size.width(), size.height(), 24);
  TDIBCanvas& canvas = dib.Surface();
  canvas.Brush = TDIBBrush{0x000000, bsSolid};
  canvas.FillRect(QRect(QPoint(0, 0), size));
  canvas.Brush.Style = bsClear;
  canvas.Font.Name = face;
  canvas.Font.Height = size.height();  // positive: the cell height
  canvas.Font.Style = 0;
  canvas.Font.Color = color;
  DrawSmoothText(dib, text, 0, 0, level);
  return dib;
}
