#include "resources/LettranceResources.h"

#include <QBitmap>

namespace resources {

QString ResourcePath(const QString& name) {
  return QStringLiteral(":/") + name;
}

QImage LoadBitmap(const QString& name) {
  return QImage(ResourcePath(name));
}

QImage LoadBitmap(const QString& name, qreal ratio) {
  if (ratio > 1) {
    QImage sharp = LoadBitmap(name + QStringLiteral("@2x"));
    if (!sharp.isNull()) {
      sharp.setDevicePixelRatio(2);
      return sharp;
    }
  }
  return LoadBitmap(name);
}

QPixmap TransparentPixmap(const QImage& image) {
  if (image.isNull()) return {};
  QPixmap pixmap = QPixmap::fromImage(image);
  // The colour of the bottom-left pixel marks the background, as in the
  // classic transparent bitmaps these pictures were drawn for.
  const QColor key = image.pixelColor(0, image.height() - 1);
  pixmap.setMask(pixmap.createMaskFromColor(key, Qt::MaskInColor));
  return pixmap;
}

}  // namespace resources
