#pragma once
// TPaintBox: a plain area whose painting and mouse handling its owner
// supplies, for dialogs that draw their own pictures.

#include <QWidget>
#include <functional>

class QMouseEvent;
class QPainter;

class TPaintBox : public QWidget {
 public:
  explicit TPaintBox(QWidget* parent) : QWidget(parent) {}

  // Paints the exposed rectangle.
  std::function<void(QPainter& painter, const QRect& exposed)> OnPaint;
  std::function<void(QMouseEvent* event)> OnMouseDown;
  std::function<void(QMouseEvent* event)> OnMouseMove;
  std::function<void(QMouseEvent* event)> OnMouseUp;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
};
