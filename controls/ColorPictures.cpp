#include "controls/ColorPictures.h"

#include <QPixmap>

#include "resources/LettranceResources.h"

namespace colorpictures {

namespace {

// The colour of pixel (0, 0) marks the background of these pictures.
TColor KeyColorOf(const QImage& picture) {
  if (picture.isNull()) return 0;
  const QRgb key = picture.pixel(0, 0);
  return MakeColor(static_cast<uint8_t>(qRed(key)), static_cast<uint8_t>(qGreen(key)),
                   static_cast<uint8_t>(qBlue(key)));
}

// The picture with its background cut away.
QImage Keyed(const QImage& picture) {
  QImage cut = picture.convertToFormat(QImage::Format_ARGB32);
  if (cut.isNull()) return cut;
  const QRgb key = cut.pixel(0, 0) & 0xFFFFFF;
  for (int y = 0; y < cut.height(); ++y) {
    auto* row = reinterpret_cast<QRgb*>(cut.scanLine(y));
    for (int x = 0; x < cut.width(); ++x)
      if ((row[x] & 0xFFFFFF) == key) row[x] = 0;
  }
  return cut;
}

QCursor RingCursor(const char* name) {
  // Cursors are made per control; only the picture is kept.
  const QImage picture = Keyed(resources::LoadBitmap(name));
  if (picture.isNull()) return QCursor(Qt::CrossCursor);
  return QCursor(QPixmap::fromImage(picture), 7, 7);
}

}  // namespace

QCursor CircleCursor() {
  return RingCursor("COLORCIRCLECURSOR");
}

QCursor BoxCircleCursor() {
  return RingCursor("COLORBOXCIRCLECURSOR");
}

const QImage& MarkerBitmap() {
  static const QImage marker = resources::LoadBitmap("COLORBOXCIRCLEBITMAP");
  return marker;
}

TColor MarkerKeyColor() {
  return KeyColorOf(MarkerBitmap());
}

const QImage& PopupIconBitmap() {
  static const QImage icon = resources::LoadBitmap("COLORPOPUPICON");
  return icon;
}

}  // namespace colorpictures
