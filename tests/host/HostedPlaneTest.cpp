#include <gtest/gtest.h>

#include "host/HostedMode.h"

namespace {

TEST(HostedPlaneTest, WindowsThatCoverTheirMonitorAreScreensSmallerOnesArePreviews) {
  struct Case {
    const char* what;
    QRect window;
    std::vector<QRect> monitors;
    platform::ScreenSize screen;
    bool preview;
  };
  const QRect fullHd(0, 0, 1920, 1080);
  const QRect left(0, 0, 1280, 1024), right(1280, 0, 1280, 1024);
  // A 1280 x 1024 monitor to the right of a 1920 x 1080 one.
  const QRect smallRight(1920, 0, 1280, 1024);
  const Case cases[] = {
      {"the saver's window on its monitor", fullHd, {fullHd}, {1920, 1080}, false},
      {"MATE's preferences pane", QRect(700, 400, 480, 300), {fullHd}, {1920, 1080}, true},
      {"the root window over two monitors", QRect(0, 0, 2560, 1024), {left, right}, {2560, 1024},
       false},
      {"XScreenSaver's window on the second monitor", right, {left, right}, {1280, 1024}, false},
      {"a pane on the smaller second monitor", QRect(2000, 100, 480, 300), {fullHd, smallRight},
       {1280, 1024}, true},
      // 120 x 300 on the first monitor, 280 x 300 on the second.
      {"a pane across the border, mostly right", QRect(1800, 0, 400, 300), {fullHd, smallRight},
       {1280, 1024}, true},
      // 300 x 300 on the first, 100 x 300 on the second.
      {"a pane across the border, mostly left", QRect(1620, 0, 400, 300), {fullHd, smallRight},
       {1920, 1080}, true},
      {"as wide as the monitor but lower", QRect(0, 0, 1920, 1000), {fullHd}, {1920, 1080}, true},
      {"as high as the monitor but narrower", QRect(0, 0, 1000, 1080), {fullHd}, {1920, 1080},
       true},
      {"larger than the monitor, off its corner", QRect(-40, -60, 2000, 1200), {fullHd},
       {2000, 1200}, false},
      {"off every monitor", QRect(5000, 5000, 200, 150), {fullHd}, {200, 150}, false},
      {"no monitors known", QRect(60, 40, 200, 150), {}, {200, 150}, false},
      {"a window of no size", QRect(10, 10, 0, 0), {fullHd}, {1, 1}, false},
  };
  for (const Case& c : cases) {
    const THostedPlane plane = HostedPlane(c.window, c.monitors);
    EXPECT_EQ(plane.Screen.Width, c.screen.Width) << c.what;
    EXPECT_EQ(plane.Screen.Height, c.screen.Height) << c.what;
    EXPECT_EQ(plane.Preview, c.preview) << c.what;
  }
}

}  // namespace
