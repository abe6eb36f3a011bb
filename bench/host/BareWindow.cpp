// The floor for start-up: a bare Qt window that covers the primary screen
// and paints it one colour (#204080), as quickly as Qt allows. Ends on a key
// or after ten seconds.
#include <QApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <QWidget>

namespace {

class BareWindow : public QWidget {
 public:
  BareWindow() : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    if (QScreen* screen = QGuiApplication::primaryScreen()) setGeometry(screen->geometry());
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter(this).fillRect(rect(), QColor(0x20, 0x40, 0x80));
  }
  void keyPressEvent(QKeyEvent*) override { close(); }
};

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  BareWindow window;
  window.show();
  window.activateWindow();
  window.grabKeyboard();
  QTimer::singleShot(10000, &window, &QWidget::close);
  return app.exec();
}
