#include "engine/LetterInk.h"

#include <QFontMetrics>
#include <QTextLayout>
#include <algorithm>
#include <limits>

namespace {

// Larger fonts are measured at this size: the scratch picture stays small,
// and outlines and emoji bitmaps scale linearly at such sizes.
constexpr int kLargestMeasuredSize = 256;
// Ink that reaches the scratch picture's edge may go on beyond it: the
// picture is made larger this many times before the search gives up.
constexpr int kTries = 4;

struct Scan {
  QRect bounds;  // in picture pixels
  bool coloured = false;
};

Scan FindInk(const QImage& picture) {
  int left = picture.width(), right = -1, top = picture.height(), bottom = -1;
  bool coloured = false;
  for (int y = 0; y < picture.height(); ++y) {
    const auto* row = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
    for (int x = 0; x < picture.width(); ++x) {
      const QRgb pixel = row[x];
      if (qAlpha(pixel) == 0) continue;
      left = std::min(left, x);
      right = std::max(right, x);
      top = std::min(top, y);
      bottom = y;
      // Drawn with a black pen, only a glyph of colours of its own has any.
      coloured = coloured || (pixel & 0x00FFFFFF) != 0;
    }
  }
  if (right < 0) return Scan{};
  return Scan{QRect(QPoint(left, top), QPoint(right, bottom)), coloured};
}

// The glyphs of `text` as Qt shapes them, without ink yet.
LetterShape LayOut(const QFont& font, const QString& text) {
  QTextLayout layout(text, font);
  layout.beginLayout();
  QTextLine line = layout.createLine();
  if (line.isValid()) line.setLineWidth(std::numeric_limits<int>::max() / 256);
  layout.endLayout();
  LetterShape shape;
  if (!line.isValid()) return shape;
  shape.Runs = layout.glyphRuns();
  // The layout puts the line's top at 0 and its baseline an ascent below.
  shape.Origin = QPointF(0, -line.ascent());
  return shape;
}

// Where the glyphs lie by their own metrics, relative to the baseline.
QRect GlyphBounds(const LetterShape& shape) {
  QRectF bounds;
  for (const QGlyphRun& run : shape.Runs) bounds |= run.boundingRect();
  return bounds.translated(shape.Origin).toAlignedRect();
}

// The ink of the shape, in pixels of its font.
void Measure(LetterShape& shape, const QFont& font) {
  const QFontMetrics metrics(font);
  const QRect cell(0, -metrics.ascent(), metrics.horizontalAdvance(QStringLiteral(" ")),
                   metrics.height());
  const QRect guess = GlyphBounds(shape).united(cell);
  int pad = 4 + metrics.height() / 4;
  for (int attempt = 0; attempt < kTries; ++attempt, pad *= 4) {
    const QRect area = guess.adjusted(-pad, -pad, pad, pad);
    QImage scratch(area.size(), QImage::Format_ARGB32_Premultiplied);
    scratch.fill(Qt::transparent);
    {
      QPainter painter(&scratch);
      painter.setRenderHint(QPainter::TextAntialiasing);
      painter.setPen(Qt::black);
      DrawLetterShape(painter, -area.topLeft(), shape);
    }
    const Scan scan = FindInk(scratch);
    shape.Ink = scan.bounds.translated(area.topLeft());
    shape.Coloured = scan.coloured;
    const bool atTheEdge =
        !scan.bounds.isEmpty() &&
        (scan.bounds.left() == 0 || scan.bounds.top() == 0 ||
         scan.bounds.right() == area.width() - 1 || scan.bounds.bottom() == area.height() - 1);
    if (!atTheEdge) return;
  }
}

}  // namespace

LetterShape ShapeLetter(const QFont& font, const QString& text) {
  LetterShape shape = LayOut(font, text);
  const int size = font.pixelSize();
  if (size <= kLargestMeasuredSize) {
    Measure(shape, font);
    return shape;
  }
  QFont smaller = font;
  smaller.setPixelSize(kLargestMeasuredSize);
  LetterShape small = LayOut(smaller, text);
  Measure(small, smaller);
  shape.Coloured = small.Coloured;
  if (small.Ink.isEmpty()) return shape;
  const double scale = static_cast<double>(size) / kLargestMeasuredSize;
  // Hinting and rounding differ between the sizes by a pixel or two of the
  // measured size; the margin covers that many scaled pixels and more.
  const double margin = 2 * scale + 2;
  const QRectF scaled(small.Ink.left() * scale - margin, small.Ink.top() * scale - margin,
                      (small.Ink.width() + 1) * scale + 2 * margin,
                      (small.Ink.height() + 1) * scale + 2 * margin);
  const int m = static_cast<int>(margin);
  shape.Ink = scaled.toAlignedRect().united(GlyphBounds(shape).adjusted(-m, -m, m, m));
  return shape;
}

void DrawLetterShape(QPainter& painter, const QPointF& baseline, const LetterShape& shape) {
  for (const QGlyphRun& run : shape.Runs) painter.drawGlyphRun(baseline + shape.Origin, run);
}

QImage LetterPicture(const LetterShape& shape, const QColor& pen) {
  QImage picture(shape.Ink.size().expandedTo(QSize(1, 1)), QImage::Format_ARGB32_Premultiplied);
  picture.fill(Qt::transparent);
  QPainter painter(&picture);
  painter.setRenderHint(QPainter::TextAntialiasing);
  painter.setPen(pen);
  DrawLetterShape(painter, -shape.Ink.topLeft(), shape);
  return picture;
}

QImage LetterSilhouette(const LetterShape& shape) {
  QImage silhouette = LetterPicture(shape, Qt::black);
  QPainter painter(&silhouette);
  // Keep the shape, drop the colours.
  painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
  painter.fillRect(silhouette.rect(), Qt::black);
  return silhouette;
}
