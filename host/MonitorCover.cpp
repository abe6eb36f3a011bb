#include "host/MonitorCover.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <QWindow>

#include "platform/wayland/WaylandToolkit.h"
#include "platform/wayland/WaylandWindows.h"

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
    CoverMonitor(*this, monitor);
    FRepaints.setInterval(100);
    connect(&FRepaints, &QTimer::timeout, this, [this] {
      repaint();
      if (++FRepainted == 10) FRepaints.stop();
    });
  }

 protected:
  void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), Qt::black); }
  void showEvent(QShowEvent* event) override {
    QWidget::showEvent(event);
    // Qt's Wayland windows take the cursor of a widget only once they exist.
    setCursor(Qt::BlankCursor);
  }
  void changeEvent(QEvent* event) override {
    // On Wayland the compositor's full-screen state takes effect with our
    // next buffer; a cover already at the output's size would not paint one.
    // sway 1.7 shows the output anew only for a buffer that comes after it
    // took effect, so a few more follow (a black cover paints nothing else).
    if (event->type() == QEvent::WindowStateChange && platform::ToolkitOnWayland()) {
      update();
      FRepaints.start();
    }
    QWidget::changeEvent(event);
  }
  void enterEvent(QEnterEvent* event) override {
    QWidget::enterEvent(event);
    if (QWindow* window = windowHandle()) platform::ResendCursor(*window);
  }
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
  QTimer FRepaints;
  int FRepainted = 0;
};

}  // namespace

void CoverMonitor(QWidget& window, const QRect& area) {
  if (!platform::ToolkitOnWayland()) {
    window.setGeometry(area);
    return;
  }
  QScreen* screen = QGuiApplication::screenAt(area.center());
  if (screen == nullptr) screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  // The compositor puts a full-screen surface on the output it is asked for
  // in the first request; the screen must be chosen before the window shows.
  window.winId();
  window.windowHandle()->setScreen(screen);
  window.setGeometry(screen->geometry());
  window.setWindowState(window.windowState() | Qt::WindowFullScreen);
}

MonitorCover::MonitorCover(QWidget& saver, const std::vector<QRect>& monitors) {
  for (const QRect& monitor : monitors) {
    FWindows.push_back(std::make_unique<CoverWindow>(saver, monitor));
    FWindows.back()->show();
  }
}

MonitorCover::~MonitorCover() = default;
