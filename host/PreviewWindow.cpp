#include "host/PreviewWindow.h"

#include <QPainter>

PreviewWindow::PreviewWindow(platform::WindowId host, QSize size)
    : FHost(QWindow::fromWinId(static_cast<WId>(host))), FStore(this) {
  setParent(FHost);
  setFlags(Qt::FramelessWindowHint);
  // The foreign window's size is known in device pixels; our geometry is in
  // device-independent ones.
  setGeometry(QRect(QPoint(0, 0), (QSizeF(size) / devicePixelRatio()).toSize()));
  show();
}

PreviewWindow::~PreviewWindow() {
  destroy();
  setParent(nullptr);
  delete FHost;  // only the wrapper: the foreign window itself stays
}

void PreviewWindow::exposeEvent(QExposeEvent*) {
  if (isExposed()) Paint(nullptr);
}

void PreviewWindow::ShowFrame(const QImage& frame) {
  if (isExposed()) Paint(&frame);
}

void PreviewWindow::Paint(const QImage* frame) {
  const QRect area(QPoint(0, 0), size());
  if (FStore.size() != area.size()) FStore.resize(area.size());
  FStore.beginPaint(area);
  {
    QPainter painter(FStore.paintDevice());
    if (frame == nullptr) {
      painter.fillRect(area, Qt::black);
    } else {
      // Frames are in device pixels; the window's area in device-independent ones.
      painter.drawImage(QRectF(QPointF(0, 0), QSizeF(frame->size()) / devicePixelRatio()), *frame);
    }
  }
  FStore.endPaint();
  FStore.flush(area);
}
