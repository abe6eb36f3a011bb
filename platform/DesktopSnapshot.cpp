#include "platform/DesktopSnapshot.h"

#include <QGuiApplication>
#include <QScreen>
#include <algorithm>

#include "platform/X11ScreenGrab.h"

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
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
      // Through shared memory where the X server offers it: much quicker
      // than pulling the screen through the connection.
      const QRect area(screen->geometry().topLeft() * screen->devicePixelRatio(),
                       screen->geometry().size() * screen->devicePixelRatio());
      const QImage shared = GrabX11Screen(area);
      if (!shared.isNull()) {
        return shared.size() == target.expandedTo(QSize(1, 1))
                   ? shared
                   : ScaleSnapshot(QPixmap::fromImage(shared), target);
      }
      grab = screen->grabWindow(0);
    }
  }
  return ScaleSnapshot(grab, target);
}

}  // namespace platform
