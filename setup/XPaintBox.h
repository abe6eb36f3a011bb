#pragma once
// TPaintBox: a plain surface whose owner does all the painting.

#include <QPainter>
#include <QRect>
#include <QWidget>
#include <functional>

class TPaintBox : public QWidget {
  Q_OBJECT

 public:
  explicit TPaintBox(QWidget* parent = nullptr) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
  }

  // Paints the given region (in the box's coordinates) on the canvas.
  std::function<void(QPainter& canvas, const QRect& clip)> OnPaint;

 protected:
  void paintEvent(QPaintEvent* event) override;
};
