// The saver window's input rules, on Qt's offscreen platform with an
// in-memory registry and a fake password dialog.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTimer>

#include "engine/AnimationUnit.h"
#include "host/SaverUnit.h"
#include "host/XAdvTimerComp.h"
#include "platform/ScreenMetrics.h"
#include "settings/GlobalsUnit.h"
#include "tests/settings/RegistryTestStore.h"
#include "tests/support/QtTestApplication.h"

namespace {

// A password dialog that always answers "stay" and counts how often it asked.
class RefusingPasswords : public TPasswordPlatform {
 public:
  class Library : public TPasswordLibrary {
   public:
    explicit Library(int& asked) : asked_(asked) {}
    TVerifyScreenSavePwd FindVerifyScreenSavePwd() override {
      return [this](platform::WindowId) {
        ++asked_;
        return false;
      };
    }
    TPwdChangePassword FindPwdChangePassword() override { return {}; }

   private:
    int& asked_;
  };
  std::unique_ptr<TPasswordLibrary> LoadVerifyLibrary() override {
    return std::make_unique<Library>(asked);
  }
  std::unique_ptr<TPasswordLibrary> LoadChangeLibrary() override { return nullptr; }
  int asked = 0;
};

// Settings of a run with frames every `ms` milliseconds.
TGlobals EveryMs(int32_t ms) {
  TGlobals settings = DefaultGlobals();
  settings.FontName = "Default";
  settings.TimerInterval = ms;
  return settings;
}

class SaverFormTest : public ::testing::Test {
 protected:
  SaverFormTest() {
    platform::SetPrimaryScreenSize(platform::ScreenSize{640, 480});
    IgnoreMoves = 0;
  }
  ~SaverFormTest() override { platform::SetPrimaryScreenSize(std::nullopt); }
  void Show() { Show(form); }
  void Show(TSaverForm& saver) {
    saver.Passwords = &passwords;
    saver.show();
    QApplication::processEvents();
  }
  void Move(int x, int y) {
    QMouseEvent move(QEvent::MouseMove, QPointF(x, y), QPointF(x, y), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(&form, &move);
  }
  void Click() {
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5), Qt::RightButton,
                      Qt::RightButton, Qt::NoModifier);
    QApplication::sendEvent(&form, &press);
  }
  void Key(int key) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(&form, &press);
  }

  RegistryTestStore registry;
  RefusingPasswords passwords;
  TSaverForm form{EveryMs(40)};
};

TEST_F(SaverFormTest, FirstActivationCoversTheScreenAndStartsTheTimer) {
  Show();
  EXPECT_EQ(form.Animation().Width, 640);
  EXPECT_EQ(form.Animation().Height, 480);
  EXPECT_FALSE(form.Animation().Preview);
  EXPECT_EQ(form.cursor().shape(), Qt::BlankCursor);
  EXPECT_TRUE(form.IdleAdvTimer->Enabled());
  EXPECT_EQ(form.IdleAdvTimer->Interval(), 40);
}

TEST_F(SaverFormTest, OnlyAMoveOfThreePixelsOnBothAxesEndsTheSaver) {
  Show();
  Move(100, 100);  // the reference point; moves that do not end keep it
  const QPoint staying[] = {{3, 2}, {2, 3}, {-3, 2}, {2, -3}, {2, 2}, {5, 1}, {0, 100}, {100, 0}};
  for (const QPoint by : staying) {
    Move(100 + by.x(), 100 + by.y());
    EXPECT_FALSE(form.Closed()) << "a move by " << by.x() << ", " << by.y();
  }
  Move(97, 103);
  EXPECT_TRUE(form.Closed());
  EXPECT_EQ(form.cursor().shape(), Qt::ArrowCursor);
}

TEST_F(SaverFormTest, ARefusedPasswordKeepsTheSaverAndIgnoresFiveMoves) {
  registry.SetDword("Control Panel\\Desktop", "ScreenSaveUsePassword", 1);
  Show();
  Click();
  EXPECT_EQ(passwords.asked, 1);
  EXPECT_FALSE(form.Closed());
  EXPECT_EQ(form.cursor().shape(), Qt::BlankCursor);  // hidden again after asking
  for (int i = 0; i < 5; ++i) Move(100 + 50 * i, 100 + 50 * i);
  EXPECT_EQ(passwords.asked, 1);
  Move(10, 10);  // the reference point
  Move(20, 20);
  EXPECT_EQ(passwords.asked, 2);
}

TEST_F(SaverFormTest, NStartsTheNextLineAndOtherKeysEndTheSaver) {
  Show();
  const int32_t line = form.Animation().LineIndex;
  Key(Qt::Key_N);
  EXPECT_FALSE(form.Closed());
  EXPECT_NE(form.Animation().LineIndex, line);
  Key(Qt::Key_S);  // no setup dialog given to this saver: nothing happens
  EXPECT_FALSE(form.Closed());
  Key(Qt::Key_Shift);
  EXPECT_TRUE(form.Closed());
}

TEST_F(SaverFormTest, ATestRunEndsWithSOrAnyInputAndNeverAsksForThePassword) {
  registry.SetDword("Control Panel\\Desktop", "ScreenSaveUsePassword", 1);
  TSaverForm test(EveryMs(40), srTest);
  Show(test);
  QKeyEvent s(QEvent::KeyPress, Qt::Key_S, Qt::NoModifier);
  QApplication::sendEvent(&test, &s);
  EXPECT_TRUE(test.Closed());
  // Ended by a click, where a saver run would ask for the password.
  TSaverForm clicked(EveryMs(40), srTest);
  Show(clicked);
  QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&clicked, &press);
  EXPECT_TRUE(clicked.Closed());
  EXPECT_EQ(passwords.asked, 0);
}

TEST_F(SaverFormTest, WithoutAnIntervalFramesComeWheneverTheLoopIsIdle) {
  TSaverForm idle(EveryMs(0));
  Show(idle);
  EXPECT_FALSE(idle.IdleAdvTimer->Enabled());
  QEventLoop loop;
  QTimer::singleShot(300, &loop, &QEventLoop::quit);
  loop.exec();
  EXPECT_GE(idle.Frames(), 3);
}

}  // namespace
