#include "platform/DesktopSnapshot.h"

#include <QGuiApplication>
#include <QScreen>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <utility>

#include "platform/wayland/GrimSnapshot.h"
#include "platform/wayland/WaylandToolkit.h"
#include "platform/x11/X11ScreenGrab.h"

namespace platform {

QImage ScaleSnapshot(const QPixmap& grab, QSize target) {
  return ScaleSnapshot(grab.toImage(), target);
}

QImage ScaleSnapshot(const QImage& grab, QSize target) {
  target = target.expandedTo(QSize(1, 1));
  QImage picture = grab;
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

std::function<QImage()> StartDesktopSnapshot(QSize target) {
  QPixmap grab;
  if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr) {
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
      // Through shared memory where the X server offers it: much quicker
      // than pulling the screen through the connection, and received only
      // when it is needed.
      const QRect area(screen->geometry().topLeft() * screen->devicePixelRatio(),
                       screen->geometry().size() * screen->devicePixelRatio());
      if (std::unique_ptr<X11ScreenGrab> shared = X11ScreenGrab::Start(area)) {
        struct Pending {
          std::unique_ptr<X11ScreenGrab> grab;
          QImage picture;
        };
        auto pending = std::make_shared<Pending>(Pending{std::move(shared), QImage()});
        return [pending, target] {
          if (pending->grab) {
            const QImage pixels = pending->grab->Take();
            pending->grab.reset();
            pending->picture = pixels.size() == target.expandedTo(QSize(1, 1))
                                   ? pixels
                                   : ScaleSnapshot(QPixmap::fromImage(pixels), target);
          }
          return pending->picture;
        };
      }
      if (ToolkitOnWayland()) {
        // grim for the output, not our own windows: it must run now.
        TGrimPicture taken = TakeGrimPicture(QStringLiteral("grim"), screen->name(),
                                             screen->geometry(), target, std::chrono::seconds(1));
        return [taken = std::make_shared<TGrimPicture>(std::move(taken))] {
          if (!taken->Problem.empty()) {
            std::fprintf(stderr, "lettrance: no desktop picture, drawing over black: %s\n",
                         taken->Problem.c_str());
            taken->Problem.clear();
          }
          return taken->Picture;
        };
      }
      grab = screen->grabWindow(0);
    }
  }
  return [picture = ScaleSnapshot(grab, target)] { return picture; };
}

QImage TakeDesktopSnapshot(QSize target) {
  return StartDesktopSnapshot(target)();
}

}  // namespace platform
