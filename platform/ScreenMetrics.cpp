#include "platform/ScreenMetrics.h"

#include <QGuiApplication>
#include <QScreen>
#include <algorithm>
#include <cmath>

namespace platform {
namespace {

std::optional<ScreenSize>& FixedSize() {
  static std::optional<ScreenSize> size;
  return size;
}

ScreenSize AtLeastOnePixel(ScreenSize size) {
  return ScreenSize{std::max(size.Width, 1), std::max(size.Height, 1)};
}

}  // namespace

ScreenSize PrimaryScreenSize() {
  if (FixedSize()) return AtLeastOnePixel(*FixedSize());
  if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr) {
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
      // Geometry is in device-independent pixels; the plane is in device pixels.
      const double ratio = screen->devicePixelRatio();
      const QSize size = screen->geometry().size();
      return AtLeastOnePixel(ScreenSize{static_cast<int32_t>(std::lround(size.width() * ratio)),
                                        static_cast<int32_t>(std::lround(size.height() * ratio))});
    }
  }
  return ScreenSize{800, 600};
}

void SetPrimaryScreenSize(std::optional<ScreenSize> size) {
  FixedSize() = size;
}

}  // namespace platform
