#include "host/FrameRegion.h"

QRegion FramePixelsToWindow(const QRegion& changed, qreal ratio) {
  if (ratio == 1.0) return changed;
  QRegion area;
  for (const QRect& rect : changed) {
    const QRectF scaled(QPointF(rect.topLeft()) / ratio, QSizeF(rect.size()) / ratio);
    area += scaled.toAlignedRect();
  }
  return area;
}

void PaintFrame(QPainter& painter, const QImage& frame, const QRegion& area, qreal ratio) {
  // A plain copy: the frame is opaque, nothing to blend.
  painter.setCompositionMode(QPainter::CompositionMode_Source);
  for (const QRect& rect : area) {
    const QRectF source(QPointF(rect.topLeft()) * ratio, QSizeF(rect.size()) * ratio);
    painter.drawImage(QRectF(rect), frame, source);
  }
}
