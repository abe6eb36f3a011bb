#include "controls/PaintBox.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

void TPaintBox::paintEvent(QPaintEvent* event) {
  if (!OnPaint) return;
  QPainter painter(this);
  OnPaint(painter, event->rect());
}

void TPaintBox::mousePressEvent(QMouseEvent* event) {
  if (OnMouseDown) OnMouseDown(event);
}

void TPaintBox::mouseMoveEvent(QMouseEvent* event) {
  if (OnMouseMove) OnMouseMove(event);
}

void TPaintBox::mouseReleaseEvent(QMouseEvent* event) {
  if (OnMouseUp) OnMouseUp(event);
}
