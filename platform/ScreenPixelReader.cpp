#include "platform/ScreenPixelReader.h"

#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>

namespace platform {

namespace {

class QtScreenPixelReader : public ScreenPixelReader {
 public:
  std::optional<QRgb> PixelAt(QPoint globalPosition) override {
    QScreen* screen = QGuiApplication::screenAt(globalPosition);
    if (!screen) return std::nullopt;
    // Window 0 is the whole screen; the position is relative to it.
    const QPoint local = globalPosition - screen->geometry().topLeft();
    const QPixmap grab = screen->grabWindow(0, local.x(), local.y(), 1, 1);
    // Wayland and some offscreen servers give an empty picture.
    if (grab.isNull() || grab.width() < 1 || grab.height() < 1) return std::nullopt;
    return grab.toImage().pixel(0, 0);
  }
};

}  // namespace

std::unique_ptr<ScreenPixelReader> MakeScreenPixelReader() {
  return std::make_unique<QtScreenPixelReader>();
}

int ScreenBitsPerPixel() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen ? screen->depth() : 32;
}

}  // namespace platform
