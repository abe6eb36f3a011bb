#include "host/MonitorCover.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace {

// One black monitor; its input goes on to the saver window.
class CoverWindow : public QWidget {
 public:
  CoverWindow(QWidget& saver, const QRect& monitor)
      : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
        FSaver(saver) {
    setAttribute(Qt::WA_QuitOnClose, false);  // the saver window alone decides the end
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setCursor(Qt::BlankCursor);
    setWindowTitle(QStringLiteral("Lettrance"));
    setGeometry(monitor);
  }

 protected:
  void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), Qt::black); }
  void keyPressEvent(QKeyEvent* event) override { QCoreApplication::sendEvent(&FSaver, event); }
  void mousePressEvent(QMouseEvent* event) override { Forward(event); }
  void mouseMoveEvent(QMouseEvent* event) override { Forward(event); }

 private:
  // Mouse positions are the saver window's: the same pointer path gives the
  // same distances wherever it is.
  void Forward(QMouseEvent* event) {
    const QPointF global = event->globalPosition();
    QMouseEvent moved(event->type(), FSaver.mapFromGlobal(global), global, event->button(),
                      event->buttons(), event->modifiers());
    QCoreApplication::sendEvent(&FSaver, &moved);
    event->accept();
  }

  QWidget& FSaver;
};

}  // namespace

MonitorCover::MonitorCover(QWidget& saver, const std::vector<QRect>& monitors) {
  for (const QRect& monitor : monitors) {
    FWindows.push_back(std::make_unique<CoverWindow>(saver, monitor));
    FWindows.back()->show();
  }
}

MonitorCover::~MonitorCover() = default;
