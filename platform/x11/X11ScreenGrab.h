#pragma once
// The X server's screen pixels copied through shared memory (MIT-SHM): the
// server writes them straight into our memory instead of sending several
// megabytes through the X connection.

#include <QImage>
#include <QRect>
#include <memory>

struct xcb_connection_t;

namespace platform {

class SharedSegment;

// A grab asked of the X server at once and received later. The server works
// through our requests in order, so the pixels are the screen as it was
// before anything we ask for afterwards (our own window shown, say), while
// we go on meanwhile.
class X11ScreenGrab {
 public:
  // Sends the request for `area` (device pixels of the root window) of the X
  // display Qt is connected to; null when Qt does not run on X11, the server
  // lacks MIT-SHM or its pixels are not 32-bit true colour.
  static std::unique_ptr<X11ScreenGrab> Start(const QRect& area);
  ~X11ScreenGrab();
  X11ScreenGrab(const X11ScreenGrab&) = delete;
  X11ScreenGrab& operator=(const X11ScreenGrab&) = delete;

  // Waits for the pixels: opaque, in QImage::Format_RGB32; a null image when
  // the server refused. Only the first call gets them.
  QImage Take();

 private:
  X11ScreenGrab(xcb_connection_t* connection, std::unique_ptr<SharedSegment> shared, QSize size,
                unsigned int sequence);

  xcb_connection_t* FConnection;
  std::unique_ptr<SharedSegment> FShared;
  QSize FSize;
  unsigned int FSequence;  // of the request whose reply is due, or 0
};

// Start(area) and Take() in one.
QImage GrabX11Screen(const QRect& area);

}  // namespace platform
