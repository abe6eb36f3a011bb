#include "platform/DesktopSnapshot.h"
#include "platform/x11/X11ScreenGrab.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QPainter>
#include <QRasterWindow>
#include <QScreen>
#include <chrono>
#include <thread>

#include "tests/support/XcbOrOffscreenApplication.h"

// Last: Xlib defines macros (None, Status, Bool) that clash with other headers.
#include <X11/Xlib.h>

namespace {

class DesktopSnapshotTest : public ::testing::Test {
 protected:
  void SetUp() override { XcbOrOffscreenApplication(); }
};

TEST_F(DesktopSnapshotTest, EmptyGrabGivesBlack) {
  QImage black(40, 30, QImage::Format_RGB32);
  black.fill(Qt::black);
  EXPECT_EQ(platform::ScaleSnapshot(QPixmap(), QSize(40, 30)), black);
  EXPECT_EQ(platform::ScaleSnapshot(QPixmap(), QSize(0, -5)).size(), QSize(1, 1));
  EXPECT_EQ(platform::TakeDesktopSnapshot(QSize(64, 48)).size(), QSize(64, 48));
}

TEST_F(DesktopSnapshotTest, WholeGrabIsStretchedIntoDevicePixels) {
  // 4 x 2 pixels, left half red, right half blue, from a screen scaled 2x.
  QImage source(4, 2, QImage::Format_RGB32);
  source.fill(Qt::red);
  QPainter(&source).fillRect(2, 0, 2, 2, Qt::blue);
  QPixmap grab = QPixmap::fromImage(source);
  grab.setDevicePixelRatio(2.0);

  const QImage half = platform::ScaleSnapshot(grab, QSize(2, 1));
  ASSERT_EQ(half.size(), QSize(2, 1));
  EXPECT_EQ(half.devicePixelRatio(), 1.0);
  EXPECT_EQ(half.pixel(0, 0), qRgb(255, 0, 0));
  EXPECT_EQ(half.pixel(1, 0), qRgb(0, 0, 255));

  const QImage same = platform::ScaleSnapshot(grab, QSize(4, 2));  // one to one
  EXPECT_EQ(same.size(), QSize(4, 2));
  EXPECT_EQ(same.pixel(1, 1), qRgb(255, 0, 0));
  EXPECT_EQ(same.pixel(2, 1), qRgb(0, 0, 255));
}

TEST_F(DesktopSnapshotTest, ColouredWindowOnTheDesktopShowsInTheSnapshot) {
  if (QGuiApplication::platformName() != "xcb") GTEST_SKIP() << "needs an X server ($DISPLAY)";
  Display* display = XOpenDisplay(nullptr);
  ASSERT_NE(display, nullptr);
  const int screen = DefaultScreen(display);
  XColor green{};
  green.green = 0xFFFF;
  green.flags = DoRed | DoGreen | DoBlue;
  ASSERT_NE(XAllocColor(display, DefaultColormap(display, screen), &green), 0);
  const Window window =
      XCreateSimpleWindow(display, RootWindow(display, screen), 100, 50, 80, 60, 0, 0, green.pixel);
  XMapWindow(display, window);
  XClearWindow(display, window);
  XSync(display, False);

  const QSize screenSize = QGuiApplication::primaryScreen()->geometry().size() *
                           QGuiApplication::primaryScreen()->devicePixelRatio();
  const QImage picture = platform::TakeDesktopSnapshot(screenSize);
  EXPECT_EQ(picture.size(), screenSize);
  EXPECT_EQ(picture.pixel(140, 80), qRgb(0, 255, 0));
  EXPECT_NE(picture.pixel(20, 20), qRgb(0, 255, 0));

  // Half size: the window's middle lands at half the coordinates.
  const QImage half = platform::TakeDesktopSnapshot(screenSize / 2);
  EXPECT_EQ(half.pixel(70, 40), qRgb(0, 255, 0));

  // Through shared memory, the same pixels as through the X connection.
  const QImage shared = platform::GrabX11Screen(QRect(QPoint(0, 0), screenSize));
  ASSERT_FALSE(shared.isNull()) << "the X server offers MIT-SHM";
  EXPECT_EQ(shared, QGuiApplication::primaryScreen()->grabWindow(0).toImage().convertToFormat(
                        QImage::Format_RGB32));
  EXPECT_EQ(shared.pixel(140, 80), qRgb(0, 255, 0));

  XDestroyWindow(display, window);
  XCloseDisplay(display);
}

// The snapshot is asked for at once and received later: what our own
// windows show in between is not in it.
TEST_F(DesktopSnapshotTest, TheSnapshotShowsTheDesktopAsItWasWhenStarted) {
  if (QGuiApplication::platformName() != "xcb") GTEST_SKIP() << "needs an X server ($DISPLAY)";
  class RedWindow : public QRasterWindow {
    void paintEvent(QPaintEvent*) override {
      QPainter(this).fillRect(QRect(QPoint(), size()), Qt::red);
    }
  };
  QScreen* screen = QGuiApplication::primaryScreen();
  const QSize screenSize = screen->geometry().size() * screen->devicePixelRatio();
  const auto snapshot = platform::StartDesktopSnapshot(screenSize);

  RedWindow cover;
  cover.setFlags(Qt::Window | Qt::FramelessWindowHint | Qt::X11BypassWindowManagerHint);
  cover.setGeometry(screen->geometry());
  cover.show();
  const auto redOnScreen = [&] {
    return screen->grabWindow(0).toImage().pixel(10, 10) == qRgb(255, 0, 0);
  };
  for (int tries = 0; tries < 200 && !redOnScreen(); ++tries) {
    QGuiApplication::processEvents();
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  ASSERT_TRUE(redOnScreen()) << "the covering window was not shown";

  const QImage picture = snapshot();
  EXPECT_EQ(picture.size(), screenSize);
  EXPECT_NE(picture.pixel(10, 10), qRgb(255, 0, 0));
  EXPECT_EQ(snapshot(), picture) << "every call gives the same picture";
}

}  // namespace
