#include "platform/x11/FrameExtentsWatch.h"

#include <QGuiApplication>
#include <QTimer>

// After the Qt headers: Xlib's macros clash with names in them.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <xcb/xcb.h>

#include "platform/x11/ToolkitX11.h"

namespace platform {

FrameExtentsWatch::FrameExtentsWatch(QWindow& window, std::function<void(QMargins)> changed)
    : FWindow(window), FChanged(std::move(changed)) {
  Display* display = ToolkitXlibDisplay();
  if (display == nullptr) return;
  FDisplay = display;
  FAtom = XInternAtom(display, "_NET_FRAME_EXTENTS", False);
  QCoreApplication::instance()->installNativeEventFilter(this);
}

FrameExtentsWatch::~FrameExtentsWatch() {
  if (FAtom != 0) QCoreApplication::instance()->removeNativeEventFilter(this);
}

bool FrameExtentsWatch::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
  if (eventType != "xcb_generic_event_t") return false;
  const auto* event = static_cast<const xcb_generic_event_t*>(message);
  if ((event->response_type & 0x7F) != XCB_PROPERTY_NOTIFY) return false;
  const auto* property = static_cast<const xcb_property_notify_event_t*>(message);
  if (property->atom != FAtom || property->window != FWindow.winId()) return false;
  // Read here: the toolkit may keep the extents it saw when the window was
  // first shown.
  QTimer::singleShot(0, &FWindow,
                     [changed = FChanged, extents = ReadExtents()] { changed(extents); });
  return false;
}

QMargins FrameExtentsWatch::ReadExtents() const {
  Atom type = 0;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  QMargins extents;
  if (XGetWindowProperty(static_cast<Display*>(FDisplay), FWindow.winId(), FAtom, 0, 4, False,
                         XA_CARDINAL, &type, &format, &count, &after, &data) == Success &&
      type == XA_CARDINAL && format == 32 && count == 4) {
    const auto* values = reinterpret_cast<const long*>(data);  // left, right, top, bottom
    extents = QMargins(static_cast<int>(values[0]), static_cast<int>(values[2]),
                       static_cast<int>(values[1]), static_cast<int>(values[3]));
  }
  if (data != nullptr) XFree(data);
  return extents;
}

}  // namespace platform
