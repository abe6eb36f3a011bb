#include "platform/x11/X11WindowPut.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QPainter>
#include <QRasterWindow>
#include <QScreen>
#include <chrono>
#include <thread>

#include "tests/support/XcbOrOffscreenApplication.h"

namespace {

class WhiteWindow : public QRasterWindow {
  void paintEvent(QPaintEvent*) override {
    QPainter(this).fillRect(QRect(QPoint(), size()), Qt::white);
  }
};

// A different colour at every pixel, so that a shifted row or column shows.
QImage Pattern(QSize size) {
  QImage image(size, QImage::Format_RGB32);
  for (int y = 0; y < size.height(); ++y) {
    for (int x = 0; x < size.width(); ++x)
      image.setPixel(x, y, qRgb(x % 256, y % 256, x / 256 * 64 + y / 256));
  }
  return image;
}

class X11WindowPutTest : public ::testing::Test {
 protected:
  void SetUp() override { XcbOrOffscreenApplication(); }
};

TEST_F(X11WindowPutTest, NothingIsSentWhereItCannotBe) {
  const QImage frame = Pattern(QSize(8, 8));
  EXPECT_FALSE(platform::X11WindowPut(0).Put(frame, QRegion(0, 0, 8, 8)));
  EXPECT_FALSE(platform::X11WindowPut(0x3fffffff).Put(frame, QRegion(0, 0, 8, 8)))
      << "a window that does not exist";
  if (QGuiApplication::platformName() != "xcb") return;
  WhiteWindow window;
  window.resize(8, 8);
  platform::X11WindowPut put(static_cast<platform::WindowId>(window.winId()));
  EXPECT_TRUE(put.Usable());
  EXPECT_FALSE(put.Put(frame.convertToFormat(QImage::Format_RGB16), QRegion(0, 0, 8, 8)));
}

// Narrow, full-width and wide rectangles, taller than one request holds,
// one reaching past the frame: the pixels inside land exactly where they
// belong, and nothing outside changes.
TEST_F(X11WindowPutTest, ExactlyThePixelsOfTheRegionLandInTheWindow) {
  if (QGuiApplication::platformName() != "xcb") GTEST_SKIP() << "needs an X server ($DISPLAY)";
  const QSize size(1000, 400);
  WhiteWindow window;
  window.setFlags(Qt::Window | Qt::FramelessWindowHint | Qt::X11BypassWindowManagerHint);
  window.setGeometry(QRect(QPoint(0, 0), size));
  window.show();
  QScreen* screen = QGuiApplication::primaryScreen();
  const auto shown = [&] {
    return screen->grabWindow(window.winId()).toImage().pixel(500, 200) == qRgb(255, 255, 255);
  };
  for (int tries = 0; tries < 200 && !shown(); ++tries) {
    QGuiApplication::processEvents();
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  ASSERT_TRUE(shown()) << "the window was not shown";

  QRegion region(13, 7, 37, 290);       // narrow, rows copied one by one
  region += QRect(0, 300, 1000, 80);    // full width: 320,000 bytes, two requests
  region += QRect(100, 120, 900, 150);  // wide: 540,000 bytes, three requests
  region += QRect(950, 390, 200, 200);  // reaches past the frame
  const QImage frame = Pattern(size);
  platform::X11WindowPut put(static_cast<platform::WindowId>(window.winId()));
  ASSERT_TRUE(put.Put(frame, region));

  const QImage seen =
      screen->grabWindow(window.winId()).toImage().convertToFormat(QImage::Format_RGB32);
  ASSERT_EQ(seen.size(), size);
  int wrong = 0;
  for (int y = 0; y < size.height(); ++y) {
    for (int x = 0; x < size.width(); ++x) {
      const QRgb expected = region.contains(QPoint(x, y)) ? frame.pixel(x, y) : qRgb(255, 255, 255);
      if (seen.pixel(x, y) != expected && wrong++ < 5) {
        ADD_FAILURE() << "at " << x << "," << y << ": " << std::hex << seen.pixel(x, y) << " not "
                      << expected;
      }
    }
  }
  EXPECT_EQ(wrong, 0);
}

}  // namespace
