#include "setup/XPaintBox.h"

#include <QPaintEvent>

void TPaintBox::paintEvent(QPaintEvent* event) {
  QPainter canvas(this);
  if (OnPaint) {
    OnPaint(canvas, event->rect());
  } else {
    canvas.fillRect(event->rect(), palette().window());
  }
}
