#include "engine/LetterMask.h"

#include <QPainter>
#include <QRawFont>
#include <cmath>
#include <cstdint>

namespace {

// Every channel of `pixel` times a / 255, rounded as Qt's raster engine
// rounds it: (v * a + ((v * a) >> 8) + 128) >> 8, two channels at a time.
uint32_t ScaleChannels(uint32_t pixel, uint32_t a) {
  uint32_t low = (pixel & 0x00FF00FFu) * a;
  low = ((low + ((low >> 8) & 0x00FF00FFu) + 0x00800080u) >> 8) & 0x00FF00FFu;
  uint32_t high = ((pixel >> 8) & 0x00FF00FFu) * a;
  high = (high + ((high >> 8) & 0x00FF00FFu) + 0x00800080u) & 0xFF00FF00u;
  return high | low;
}

// Qt places glyphs in 1/64 pixels, cutting the fraction off.
QPointF InSixtyFourths(const QPointF& point) {
  return QPointF(std::trunc(point.x() * 64) / 64, std::trunc(point.y() * 64) / 64);
}

}  // namespace

QImage LetterCoverage(const LetterShape& shape) {
  // Opaque white over nothing leaves the coverage in every channel.
  return LetterPicture(shape, Qt::white).convertToFormat(QImage::Format_Alpha8);
}

void BlendCoverage(QImage& target, QPoint at, const QImage& coverage, QRgb colour) {
  const QRect area = QRect(at, coverage.size()) & target.rect();
  if (area.isEmpty()) return;
  colour |= 0xFF000000u;
  uchar* const pixels = target.bits();
  const qsizetype rowBytes = target.bytesPerLine();
  for (int y = area.top(); y <= area.bottom(); ++y) {
    const uchar* cover = coverage.constScanLine(y - at.y()) + (area.left() - at.x());
    auto* row = reinterpret_cast<QRgb*>(pixels + y * rowBytes) + area.left();
    for (int x = 0; x < area.width(); ++x) {
      const uint32_t c = cover[x];
      if (c == 0) continue;
      row[x] = c == 255 ? colour : ScaleChannels(colour, c) + ScaleChannels(row[x], 255 - c);
    }
  }
}

QList<QPainterPath> LetterOutlines(const LetterShape& shape) {
  QList<QPainterPath> outlines;
  for (const QGlyphRun& run : shape.Runs) {
    const QRawFont font = run.rawFont();
    const QList<quint32> glyphs = run.glyphIndexes();
    const QList<QPointF> places = run.positions();
    QPainterPath outline;
    outline.setFillRule(Qt::WindingFill);
    for (qsizetype i = 0; i < glyphs.size() && i < places.size(); ++i) {
      outline.addPath(
          font.pathForGlyph(glyphs[i]).translated(InSixtyFourths(shape.Origin + places[i])));
    }
    outlines.push_back(outline);
  }
  return outlines;
}

void FillLetterOutlines(QPainter& painter, const QPointF& baseline,
                        const QList<QPainterPath>& outlines, const QColor& colour) {
  const bool smooth = painter.testRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::Antialiasing);
  for (const QPainterPath& outline : outlines) {
    painter.fillPath(baseline.isNull() ? outline : outline.translated(baseline), colour);
  }
  painter.setRenderHint(QPainter::Antialiasing, smooth);
}
