#pragma once
// Our window inside the preview's host window: it shows the frames. Drawing
// into a window of ours keeps the other program's window untouched.

#include <QBackingStore>
#include <QWindow>

#include "engine/QtSurface.h"
#include "platform/ForeignWindow.h"

class PreviewWindow : public QWindow, public FrameTarget {
 public:
  // A child of the foreign window `host`, covering `size` device pixels.
  PreviewWindow(platform::WindowId host, QSize size);
  ~PreviewWindow() override;

  // Paints the frame at once; nothing while the window is not exposed.
  void ShowFrame(const QImage& frame) override;

 protected:
  void exposeEvent(QExposeEvent* event) override;

 private:
  void Paint(const QImage* frame);

  QWindow* FHost;  // wraps the foreign window
  QBackingStore FStore;
};
