#pragma once
// The window a screen-saver host gives us (or the root window): its size, the
// desktop picture the host saved on it, frames drawn straight into it, and
// word when it is resized or destroyed. We never select input on it, change
// its cursor or map anything over it: the host keeps its own input handling.

#include <QImage>
#include <QRect>
#include <QSize>
#include <memory>
#include <optional>

#include "platform/x11/ForeignWindow.h"

namespace platform {

class ScreensaverWindow {
 public:
  // Connects to the default display; `window` 0 means the root window.
  explicit ScreensaverWindow(WindowId window);
  ~ScreensaverWindow();
  ScreensaverWindow(const ScreensaverWindow&) = delete;
  ScreensaverWindow& operator=(const ScreensaverWindow&) = delete;

  // False when there is no display or no such window.
  bool Valid() const;
  WindowId Id() const;
  // Device pixels; follows the resizes reported by Changes().
  QSize Size() const;
  // Where the window is now, in root-window coordinates and device pixels
  // (the size as Size()); the root window is at 0, 0.
  QRect ScreenRect() const;

  // The desktop as the host saw it before blanking (the window's
  // _SCREENSAVER_SCREENSHOT pixmap); a null image when there is none.
  QImage HostScreenshot();

  // Draws an opaque 32-bit frame at the window's top-left corner. `changed`
  // bounds what differs from the frame shown before; the whole frame goes
  // out anyway the first time and after the window was exposed.
  void Show(const QImage& frame, const QRect& changed);

  // Descriptor that becomes readable when the server has news for us.
  int ConnectionFd() const;

  struct TChanges {
    bool Destroyed = false;
    std::optional<QSize> NewSize;
  };
  // What happened to the window since the last call; never blocks.
  TChanges Changes();

 private:
  struct State;
  std::unique_ptr<State> FState;
};

}  // namespace platform
