#pragma once
// Learning when the window manager has told a window the size of its frame:
// on X11 it sets _NET_FRAME_EXTENTS, often after the window is on screen, so
// a window placed by its outer size must be placed again then.

#include <QAbstractNativeEventFilter>
#include <QMargins>
#include <QWindow>
#include <functional>

namespace platform {

class FrameExtentsWatch : public QAbstractNativeEventFilter {
 public:
  // Calls `changed` with the frame's extents (on the GUI thread, soon after
  // the event) each time they are set or changed for `window`, while this
  // object lives. On other window systems it never calls.
  FrameExtentsWatch(QWindow& window, std::function<void(QMargins)> changed);
  ~FrameExtentsWatch() override;
  FrameExtentsWatch(const FrameExtentsWatch&) = delete;
  FrameExtentsWatch& operator=(const FrameExtentsWatch&) = delete;

  bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

 private:
  QMargins ReadExtents() const;

  QWindow& FWindow;
  std::function<void(QMargins)> FChanged;
  void* FDisplay = nullptr;  // the toolkit's Xlib connection
  unsigned long FAtom = 0;   // _NET_FRAME_EXTENTS, 0 when not on X11
};

}  // namespace platform
