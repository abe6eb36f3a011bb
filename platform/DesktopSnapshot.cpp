#include "platform/DesktopSnapshot.h"

#include <QGuiApplication>
#include <QScreen>
#include <algorithm>

namespace platform {

QImage ScaleSnapshot(const QPixmap& grab, QSize target) {
  target = target.expandedTo(QSize(1, 1));
  QImage picture = grab.toImage();
  if (picture.isNull()) {
    QImage black(target, QImage::Format_RGB32);
    black.fill(Qt::black);
    return black;
  }
  // Stretch like a blit: the whole screen into the whole target, aspect
  // ratio not kept; pixel sizes only, whatever scale the screen reports.
  picture.setDevicePixelRatio(1.0);
  if (picture.size() != target) {
    picture = picture.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  }
  return picture.convertToFormat(QImage::Format_RGB32);
}

QImage TakeDesktopSnapshot(QSize target) {
  QPixmap grab;
  if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr) {
    if (QScreen* screen = QGuiApplication::primaryScreen()) grab = screen->grabWindow(0);
  }
  return ScaleSnapshot(grab, target);
}

}  // namespace platform
