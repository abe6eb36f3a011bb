#pragma once
// Rectangles of a frame put straight into one of our own X windows through
// the toolkit's X connection, past its backing store.
//
// Qt's xcb backing store hands pixels to the server in shared memory and,
// before each paint that overlaps what it handed over last, waits for the
// server to finish reading it: a round trip per frame when only the moving
// letters are repainted, which always overlap the last frame's. The few
// changed rectangles cost less sent through the socket, in the same order as
// everything else the toolkit sends. Whole frames (the first, after a new
// size or an expose) are better left to Qt and its shared memory.

#include <QImage>
#include <QRegion>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/x11/ForeignWindow.h"

struct xcb_connection_t;

namespace platform {

class X11WindowPut {
 public:
  // For `window`, a window of this application's X connection. Unusable
  // without such a connection, when the window does not exist, or when its
  // pixels are not 32-bit words of 24-bit colour in our byte order.
  explicit X11WindowPut(WindowId window);
  ~X11WindowPut();
  X11WindowPut(const X11WindowPut&) = delete;
  X11WindowPut& operator=(const X11WindowPut&) = delete;

  WindowId Window() const { return FWindow; }
  bool Usable() const { return FGc != 0; }

  // Puts the parts of `frame` (RGB32, one pixel per device pixel) inside
  // `region` at the same places in the window, and sends them at once.
  // False, with nothing sent, when unusable or the frame is not RGB32.
  bool Put(const QImage& frame, const QRegion& region);

  // Each request carries at most this many bytes of pixels, so the server
  // reads them into the buffer it already has rather than a fresh one.
  static constexpr size_t kMaxBytesPerRequest = 256 * 1024;

 private:
  void PutRect(const QImage& frame, const QRect& rect);

  xcb_connection_t* FConnection = nullptr;
  WindowId FWindow = 0;
  uint32_t FGc = 0;
  size_t FMaxBytesPerRequest = kMaxBytesPerRequest;
  std::vector<uint8_t> FRows;  // a rectangle narrower than the frame, row by row
};

}  // namespace platform
