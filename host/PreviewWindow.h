#pragma once
// Our window inside the preview's host window: it shows the frames. Drawing
// into a window of ours keeps the other program's window untouched.

#include <QBackingStore>
#include <QWindow>

#include "engine/QtSurface.h"
#include "platform/x11/ForeignWindow.h"

class PreviewWindow : public QWindow, public FrameTarget {
 public:
  // A child of the foreign window `host`, covering `size` device pixels.
  PreviewWindow(platform::WindowId host, QSize size);
  ~PreviewWindow() override;

  // Paints the frame's changed places at once; nothing while the window is
  // not exposed.
  void ShowFrame(const QImage& frame, const QRegion& changed) override;

 protected:
  void exposeEvent(QExposeEvent* event) override;

 private:
  // Paints `area` (device-independent pixels) from the frame, or black.
  void Paint(const QImage* frame, QRegion area);

  QWindow* FHost;  // wraps the foreign window
  QBackingStore FStore;
  // The window shows something other than the last frame: the next one is
  // painted whole.
  bool FWholeFrameDue = true;
};
