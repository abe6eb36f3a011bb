#pragma once
// Reads the colour of one pixel of the screen, for the colour picker's
// eyedropper. Behind an interface so that tests can stand in a fake screen.

#include <QPoint>
#include <QRgb>
#include <memory>
#include <optional>

namespace platform {

class ScreenPixelReader {
 public:
  virtual ~ScreenPixelReader() = default;
  // The colour at a global screen position, or nothing when the display
  // cannot be read there (no screen, a display server that refuses grabs).
  virtual std::optional<QRgb> PixelAt(QPoint globalPosition) = 0;
};

// Reads the screen through the window system (needs a QGuiApplication).
std::unique_ptr<ScreenPixelReader> MakeScreenPixelReader();

// Bits per pixel of the primary screen; 32 when there is none.
int ScreenBitsPerPixel();

}  // namespace platform
