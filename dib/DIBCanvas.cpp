#include "dib/DIBCanvas.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QHash>
#include <map>
#include <tuple>

namespace {

QColor ToQColor(TColor c) {
  return QColor(RedOf(c), GreenOf(c), BlueOf(c));
}

QFont BaseFont(const TDIBFont& font) {
  QFont qfont =
      font.Name.isEmpty() || font.Name == "Default" ? QGuiApplication::font() : QFont(font.Name);
  qfont.setBold((font.Style & fsBold) != 0);
  qfont.setItalic((font.Style & fsItalic) != 0);
  qfont.setUnderline((font.Style & fsUnderline) != 0);
  qfont.setStrikeOut((font.Style & fsStrikeOut) != 0);
  return qfont;
}

int DefaultPixelSize() {
  const QFont standard = QGuiApplication::font();
  if (standard.pixelSize() > 0) return standard.pixelSize();
  return std::max(1, qRound(standard.pointSizeF() * 96.0 / 72.0));
}

// The largest em whose cell (ascent + descent) fits the cell height. Found
// once per face, style and height: a preview repaints on every keystroke.
int EmForCellHeight(const QFont& base, int cellHeight) {
  using Key = std::tuple<QString, int, int>;
  static std::map<Key, int> found;
  const int styles = (base.bold() ? 1 : 0) | (base.italic() ? 2 : 0);
  const Key key{base.family(), styles, cellHeight};
  if (const auto hit = found.find(key); hit != found.end()) return hit->second;
  QFont probe = base;
  probe.setPixelSize(1000);
  const QFontMetricsF reference(probe);
  const qreal perEm = (reference.ascent() + reference.descent()) / 1000.0;
  int em = std::max(1, qRound(cellHeight / (perEm > 0 ? perEm : 1.0)));
  auto cellOf = [&](int size) {
    probe.setPixelSize(size);
    const QFontMetrics metrics(probe);
    return metrics.ascent() + metrics.descent();
  };
  while (em > 1 && cellOf(em) > cellHeight) --em;
  while (cellOf(em + 1) <= cellHeight) ++em;
  return found[key] = em;
}

QPainter::CompositionMode ModeOf(TCopyMode mode) {
  switch (mode) {
    case cmSrcAnd:
      return QPainter::RasterOp_SourceAndDestination;
    case cmSrcPaint:
      return QPainter::RasterOp_SourceOrDestination;
    case cmSrcInvert:
      return QPainter::RasterOp_SourceXorDestination;
    case cmMergePaint:
      return QPainter::RasterOp_NotSourceOrDestination;
    case cmSrcCopy:
      break;
  }
  return QPainter::CompositionMode_Source;
}

}  // namespace

int TDIBFont::PixelSize() const {
  if (Height < 0) return std::min(-static_cast<int64_t>(Height), int64_t{1} << 20);
  if (Height == 0) return DefaultPixelSize();
  return EmForCellHeight(BaseFont(*this), std::min(Height, 1 << 20));
}

QFont TDIBFont::ToQFont() const {
  QFont font = BaseFont(*this);
  font.setPixelSize(PixelSize());
  if (Quality == fqNonAntialiased) font.setStyleStrategy(QFont::NoAntialias);
  if (Quality == fqAntialiased) font.setStyleStrategy(QFont::PreferAntialias);
  return font;
}

void DrawCanvasText(QPainter& painter, const TDIBFont& font, const TDIBBrush& brush, int x, int y,
                    const QString& text) {
  if (text.isEmpty()) return;
  const QFont qfont = font.ToQFont();
  const QFontMetrics metrics(qfont);
  if (brush.Style == bsSolid) {
    painter.fillRect(
        QRect(x, y, metrics.horizontalAdvance(text), metrics.ascent() + metrics.descent()),
        ToQColor(brush.Color));
  }
  painter.setFont(qfont);
  painter.setPen(ToQColor(font.Color));
  painter.drawText(QPointF(x, y + metrics.ascent()), text);
}

void TDIBCanvas::Paint(const TPaintCode& draw) {
  FPaintPixels(draw);
}

void TDIBCanvas::FillRect(const QRect& rect) {
  if (Brush.Style == bsClear) return;
  const QColor color = ToQColor(Brush.Color);
  Paint([&](QPainter& painter) { painter.fillRect(rect, color); });
}

void TDIBCanvas::FrameRect(const QRect& rect) {
  if (Brush.Style == bsClear || rect.isEmpty()) return;
  const QColor color = ToQColor(Brush.Color);
  Paint([&](QPainter& painter) {
    painter.fillRect(QRect(rect.left(), rect.top(), rect.width(), 1), color);
    painter.fillRect(QRect(rect.left(), rect.bottom(), rect.width(), 1), color);
    painter.fillRect(QRect(rect.left(), rect.top(), 1, rect.height()), color);
    painter.fillRect(QRect(rect.right(), rect.top(), 1, rect.height()), color);
  });
}

void TDIBCanvas::Rectangle(int left, int top, int right, int bottom) {
  const QRect area(QPoint(left, top), QPoint(right - 1, bottom - 1));
  if (area.isEmpty()) return;
  const QColor fill = ToQColor(Brush.Color);
  const QColor ink = ToQColor(Pen.Color);
  const int width = std::max(Pen.Width, 1);
  const bool filled = Brush.Style == bsSolid;
  Paint([&](QPainter& painter) {
    if (filled) painter.fillRect(area, fill);
    for (int i = 0; i < width; ++i) {
      const QRect edge = area.adjusted(i, i, -i, -i);
      if (edge.isEmpty()) break;
      painter.fillRect(QRect(edge.left(), edge.top(), edge.width(), 1), ink);
      painter.fillRect(QRect(edge.left(), edge.bottom(), edge.width(), 1), ink);
      painter.fillRect(QRect(edge.left(), edge.top(), 1, edge.height()), ink);
      painter.fillRect(QRect(edge.right(), edge.top(), 1, edge.height()), ink);
    }
  });
}

void TDIBCanvas::DrawFocusRect(const QRect& rect) {
  if (rect.isEmpty()) return;
  QList<QRect> dots;
  for (int x = rect.left(); x <= rect.right(); x += 2) {
    dots.append(QRect(x, rect.top(), 1, 1));
    if (rect.height() > 1) dots.append(QRect(x, rect.bottom(), 1, 1));
  }
  for (int y = rect.top() + 2; y < rect.bottom(); y += 2) {
    dots.append(QRect(rect.left(), y, 1, 1));
    if (rect.width() > 1) dots.append(QRect(rect.right(), y, 1, 1));
  }
  Paint([&](QPainter& painter) {
    painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    for (const QRect& dot : dots) painter.fillRect(dot, Qt::white);
  });
}

QSize TDIBCanvas::TextExtent(const QString& text) const {
  const QFontMetrics metrics(Font.ToQFont());
  return QSize(metrics.horizontalAdvance(text), metrics.ascent() + metrics.descent());
}

void TDIBCanvas::TextOut(int x, int y, const QString& text) {
  TextRect(QRect(), x, y, text);
}

void TDIBCanvas::TextRect(const QRect& clip, int x, int y, const QString& text) {
  if (text.isEmpty()) return;
  Paint([&](QPainter& painter) {
    if (!clip.isNull()) painter.setClipRect(clip);
    DrawCanvasText(painter, Font, Brush, x, y, text);
  });
}

void TDIBCanvas::Draw(int x, int y, const QImage& picture) {
  if (picture.isNull()) return;
  const QPainter::CompositionMode mode = ModeOf(CopyMode);
  Paint([&](QPainter& painter) {
    painter.setCompositionMode(mode);
    painter.drawImage(QPoint(x, y), picture);
  });
}

void TDIBCanvas::DrawTransparent(int x, int y, const QImage& picture, TColor transparent) {
  if (picture.isNull()) return;
  QImage cut = picture.convertToFormat(QImage::Format_ARGB32);
  const QRgb key = ToQColor(transparent).rgb() & 0xFFFFFF;
  for (int row = 0; row < cut.height(); ++row) {
    auto* pixels = reinterpret_cast<QRgb*>(cut.scanLine(row));
    for (int column = 0; column < cut.width(); ++column) {
      if ((pixels[column] & 0xFFFFFF) == key) pixels[column] = 0;
    }
  }
  Paint([&](QPainter& painter) { painter.drawImage(QPoint(x, y), cut); });
}

void TDIBCanvas::CopyRect(const QRect& destination, const QImage& picture,
                          const QRect& sourceRect) {
  if (picture.isNull()) return;
  const QPainter::CompositionMode mode = ModeOf(CopyMode);
  Paint([&](QPainter& painter) {
    painter.setCompositionMode(mode);
    painter.drawImage(destination, picture, sourceRect);
  });
}
