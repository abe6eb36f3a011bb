#include "platform/ScreenMetrics.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QScreen>

namespace {

class ScreenMetricsTest : public ::testing::Test {
 protected:
  void TearDown() override { platform::SetPrimaryScreenSize(std::nullopt); }
};

TEST_F(ScreenMetricsTest, AFixedSizeWinsAndIsAtLeastOnePixel) {
  platform::SetPrimaryScreenSize(platform::ScreenSize{3840, 2160});
  EXPECT_EQ(platform::PrimaryScreenSize(), (platform::ScreenSize{3840, 2160}));
  platform::SetPrimaryScreenSize(platform::ScreenSize{0, -5});
  EXPECT_EQ(platform::PrimaryScreenSize(), (platform::ScreenSize{1, 1}));
}

TEST_F(ScreenMetricsTest, WithoutAnApplicationTheFallbackIsUsed) {
  ASSERT_EQ(QCoreApplication::instance(), nullptr);
  EXPECT_EQ(platform::PrimaryScreenSize(), (platform::ScreenSize{800, 600}));
}

TEST_F(ScreenMetricsTest, ThePrimaryScreenIsMeasuredInDevicePixels) {
  // The offscreen platform's screen, at twice the device pixel ratio.
  qputenv("QT_SCALE_FACTOR", "2");
  int argc = 1;
  char name[] = "test";
  char* argv[] = {name, nullptr};
  QGuiApplication app(argc, argv);
  const QScreen* screen = QGuiApplication::primaryScreen();
  ASSERT_NE(screen, nullptr);
  ASSERT_DOUBLE_EQ(screen->devicePixelRatio(), 2.0);
  const QSize logical = screen->geometry().size();
  EXPECT_EQ(platform::PrimaryScreenSize(),
            (platform::ScreenSize{logical.width() * 2, logical.height() * 2}));
  qunsetenv("QT_SCALE_FACTOR");
}

}  // namespace
