#include "host/PreviewWindow.h"

#include <QPainter>

#include "host/FrameRegion.h"

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
  if (isExposed()) Paint(nullptr, QRect(QPoint(0, 0), size()));
}

void PreviewWindow::ShowFrame(const QImage& frame, const QRegion& changed) {
  if (!isExposed()) {
    FWholeFrameDue = true;
    return;
  }
  Paint(&frame, FWholeFrameDue ? QRegion(QRect(QPoint(0, 0), size()))
                               : FramePixelsToWindow(changed, devicePixelRatio()));
}

void PreviewWindow::Paint(const QImage* frame, QRegion area) {
  const QRect whole(QPoint(0, 0), size());
  if (FStore.size() != whole.size()) {
    FStore.resize(whole.size());
    if (frame != nullptr) area = whole;
  }
  area &= whole;
  if (area.isEmpty()) return;
  FStore.beginPaint(area);
  {
    QPainter painter(FStore.paintDevice());
    if (frame == nullptr) {
      painter.fillRect(whole, Qt::black);
    } else {
      PaintFrame(painter, *frame, area, devicePixelRatio());
    }
  }
  FStore.endPaint();
  FStore.flush(area);
  FWholeFrameDue = frame == nullptr;
}
