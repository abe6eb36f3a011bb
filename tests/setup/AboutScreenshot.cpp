// Draws the program's about box on the offscreen platform into a PNG file:
//   QT_QPA_PLATFORM=offscreen about_screenshot docs/about.png
#include <QApplication>
#include <QPixmap>
#include <QTimer>
#include <cstdio>

#include "setup/XAboutBoxUnit.h"

int main(int argc, char* argv[]) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTPUT.png\n", argv[0]);
    return 2;
  }
  QApplication application(argc, argv);
  QGuiApplication::setApplicationDisplayName("Lettrance");
  const QString output = QString::fromLocal8Bit(argv[1]);
  bool saved = false;
  QTimer::singleShot(0, [&] {
    QWidget* box = QApplication::activeModalWidget();
    if (!box) return;
    saved = box->grab().save(output, "PNG");
    box->close();
  });
  ShowAboutBox(&application);
  if (!saved) {
    std::fprintf(stderr, "could not save %s\n", argv[1]);
    return 1;
  }
  return 0;
}
