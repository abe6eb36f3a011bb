#include "platform/ScreenPixelReader.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QPainter>
#include <QRasterWindow>

namespace {

QGuiApplication& Application() {
  static int argc = 1;
  static char name[] = "pixel-reader-test";
  static char* argv[] = {name, nullptr};
  static QGuiApplication application(argc, argv);
  return application;
}

class FilledWindow : public QRasterWindow {
 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter(this).fillRect(QRect(QPoint(0, 0), size()), QColor(10, 200, 30));
  }
};

TEST(ScreenPixelReaderTest, ReadsWhatIsOnTheScreenAndNothingOffIt) {
  Application();
  FilledWindow window;
  window.setGeometry(100, 100, 80, 80);
  window.show();
  QElapsedTimer waited;
  waited.start();
  while (!window.isExposed() && waited.elapsed() < 5000) QCoreApplication::processEvents();
  ASSERT_TRUE(window.isExposed());
  for (int i = 0; i < 20; ++i) QCoreApplication::processEvents();

  const auto reader = platform::MakeScreenPixelReader();
  EXPECT_EQ(reader->PixelAt(window.mapToGlobal(QPoint(40, 40))), qRgb(10, 200, 30));
  EXPECT_EQ(reader->PixelAt(QPoint(-100000, -100000)), std::nullopt);
  EXPECT_GT(platform::ScreenBitsPerPixel(), 0);
}

}  // namespace
