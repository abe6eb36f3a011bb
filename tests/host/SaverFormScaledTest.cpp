// The saver window under Qt's high-DPI scaling (QT_SCALE_FACTOR=2): the
// 3-pixel rule for mouse moves counts screen pixels, not scaled ones.
#include <gtest/gtest.h>

#include <QMouseEvent>

#include "engine/AnimationUnit.h"
#include "host/SaverUnit.h"
#include "platform/ScreenMetrics.h"
#include "settings/GlobalsUnit.h"
#include "tests/support/QtTestApplication.h"

namespace {

// Before the application exists: Qt reads it once, at start.
const bool kScaled = qputenv("QT_SCALE_FACTOR", "2");

class SaverFormScaledTest : public ::testing::Test {
 protected:
  SaverFormScaledTest() {
    platform::SetPrimaryScreenSize(platform::ScreenSize{640, 480});
    IgnoreMoves = 0;
    form.show();
    QApplication::processEvents();
  }
  ~SaverFormScaledTest() override { platform::SetPrimaryScreenSize(std::nullopt); }
  static TGlobals Settings() {
    TGlobals settings = DefaultGlobals();
    settings.FontName = "Default";
    settings.TimerInterval = 1000;
    return settings;
  }
  // A move to (x, y) device-independent pixels; Qt gives them as fractions
  // of screen pixels.
  void Move(qreal x, qreal y) {
    QMouseEvent move(QEvent::MouseMove, QPointF(x, y), QPointF(x, y), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(&form, &move);
  }

  TSaverForm form{Settings(), srTest};
};

TEST_F(SaverFormScaledTest, MovesAreMeasuredInScreenPixels) {
  ASSERT_TRUE(kScaled);
  ASSERT_EQ(form.devicePixelRatioF(), 2.0);
  Move(50, 50);      // the reference point: screen pixel (100, 100)
  Move(51, 51.5);    // 2 and 3 screen pixels away: stays
  Move(51.5, 50.5);  // 3 and 1: stays
  EXPECT_FALSE(form.Closed());
  Move(52, 52);  // 4 and 4 screen pixels: ends
  EXPECT_TRUE(form.Closed());
}

}  // namespace
