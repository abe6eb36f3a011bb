// The setup dialog and the saver window opening each other: S in the running
// saver, and the Test button's saver. Qt's offscreen platform, in-memory
// registry.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <functional>

#include "controls/XNiceScrollBarComp.h"
#include "engine/AnimationUnit.h"
#include "host/SaverUnit.h"
#include "host/SetupHooks.h"
#include "host/XAdvTimerComp.h"
#include "platform/ScreenMetrics.h"
#include "settings/GlobalsUnit.h"
#include "setup/SetupUnit.h"
#include "setup/XTextLinesMemo.h"
#include "tests/settings/RegistryTestStore.h"
#include "tests/support/QtTestApplication.h"

namespace {

const char* const kKey = "Software\\Vandor\\ScreenSaver\\Lettrance";

// Runs `act` on the next modal window of type T once it is on screen.
template <typename T>
void WhenModal(std::function<void(T&)> act) {
  QTimer::singleShot(0, [act] {
    QPointer<T> window = qobject_cast<T*>(QApplication::activeModalWidget());
    if (!window) {
      ADD_FAILURE() << "no such modal window";
      return;
    }
    act(*window);
  });
}

class SetupHooksTest : public ::testing::Test {
 protected:
  SetupHooksTest() {
    platform::SetPrimaryScreenSize(platform::ScreenSize{640, 480});
    QGuiApplication::setApplicationDisplayName("Lettrance");
    StoredVersion = ProgramVersion;
    IgnoreMoves = 0;
    registry.SetDword(kKey, "TimerInterval", 40);
  }
  ~SetupHooksTest() override {
    platform::SetPrimaryScreenSize(std::nullopt);
    QGuiApplication::setApplicationDisplayName(QString());
  }
  static TGlobals Stored() {
    TGlobals settings;
    LoadGlobals(settings, swNever);
    return settings;
  }

  static void PressS(QWidget& window) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_S, Qt::NoModifier);
    QApplication::sendEvent(&window, &press);
  }

  RegistryTestStore registry;
};

TEST_F(SetupHooksTest, SOpensTheDialogOverTheSaverAndOkGoesOnWithTheNewInterval) {
  TSaverForm saver(Stored());
  saver.OpenSetupDialog = OpenSetupDialogOverSaver;
  saver.show();
  ASSERT_EQ(saver.IdleAdvTimer->Interval(), 40);
  WhenModal<TSetupForm>([&saver](TSetupForm& dialog) {
    EXPECT_TRUE(dialog.FromSaver());
    EXPECT_FALSE(dialog.TestButton->isEnabled());
    EXPECT_EQ(dialog.parentWidget(), &saver);
    ASSERT_NE(dialog.windowHandle(), nullptr);
    EXPECT_EQ(dialog.windowHandle()->transientParent(), saver.windowHandle());
    EXPECT_EQ(saver.cursor().shape(), Qt::ArrowCursor);
    dialog.TimerNiceScrollBar->SetPosition(70);
    dialog.OKButton->click();
  });
  PressS(saver);
  EXPECT_FALSE(saver.Closed());
  EXPECT_EQ(registry.Dword(kKey, "TimerInterval"), 70);
  EXPECT_EQ(saver.IdleAdvTimer->Interval(), 70);  // restarted from the saved settings
  EXPECT_TRUE(saver.IdleAdvTimer->Enabled());
  EXPECT_EQ(saver.Settings().TimerInterval, 70);
  EXPECT_EQ(saver.cursor().shape(), Qt::BlankCursor);
  EXPECT_EQ(IgnoreMoves, 5);

  // Cancel changes nothing, in the settings or in the saver.
  WhenModal<TSetupForm>([](TSetupForm& dialog) {
    dialog.TimerNiceScrollBar->SetPosition(20);
    dialog.CancelButton->click();
  });
  PressS(saver);
  EXPECT_FALSE(saver.Closed());
  EXPECT_EQ(registry.Dword(kKey, "TimerInterval"), 70);
  EXPECT_EQ(saver.IdleAdvTimer->Interval(), 70);
  saver.close();
}

TEST_F(SetupHooksTest, CancelLeavesTheRunAsItWasAndOkShowsWhatWasSaved) {
  // A run with options from the command line: speed 20, red text.
  TGlobals run = Stored();
  run.Speed = 20;
  run.FontColor = 0x0000FF;
  run.FontSize = 90;
  TSaverForm saver(run);
  saver.OpenSetupDialog = OpenSetupDialogOverSaver;
  saver.show();
  const TSaverAni& animation = saver.Animation();
  const int32_t line = animation.LineIndex;
  WhenModal<TSetupForm>([](TSetupForm& dialog) {
    // The dialog edits what is stored, not this run's options.
    EXPECT_EQ(dialog.SpeedNiceScrollBar->Position(), 6);
    dialog.SpeedNiceScrollBar->SetPosition(3);
    dialog.CancelButton->click();
  });
  PressS(saver);
  EXPECT_EQ(animation.Settings.Speed, 20);
  EXPECT_EQ(animation.Settings.FontColor, 0x0000FF);
  EXPECT_EQ(animation.Settings.FontSize, 90);
  EXPECT_EQ(animation.LineIndex, line);  // not started again
  EXPECT_EQ(saver.IdleAdvTimer->Interval(), 40);

  WhenModal<TSetupForm>([](TSetupForm& dialog) {
    dialog.SpeedNiceScrollBar->SetPosition(3);
    dialog.OKButton->click();
  });
  PressS(saver);
  EXPECT_EQ(registry.Dword(kKey, "Speed"), 3);
  EXPECT_EQ(animation.Settings.Speed, 3);
  EXPECT_EQ(animation.Settings.FontColor, DefaultGlobals().FontColor);
  EXPECT_EQ(animation.Settings.FontSize, 60);
  saver.close();
}

TEST_F(SetupHooksTest, TestButtonRunsAModalSaverThatSEndsWithoutTouchingTheSettings) {
  registry.SetString(kKey, "Text", "stored");
  TSetupForm dialog;
  dialog.StartTestSaver = [](const TGlobals& settings) { RunTestSaver(settings, nullptr); };
  bool sawSaver = false;
  const int commits = registry.Storage().CommitCount();
  QTimer::singleShot(0, &dialog, [&] {
    dialog.TextLinesMemo->setPlainText("tested");
    WhenModal<TSaverForm>([&](TSaverForm& saver) {
      sawSaver = true;
      EXPECT_EQ(saver.Animation().Width, 640);
      // The dialog's text, not the stored one.
      EXPECT_EQ(saver.Animation().Settings.Text, "tested");
      PressS(saver);
      EXPECT_TRUE(saver.Closed());  // S ends a test run
    });
    dialog.TestButton->click();
    EXPECT_TRUE(dialog.isVisible());
    dialog.CancelButton->click();
  });
  EXPECT_EQ(dialog.exec(), QDialog::Rejected);
  EXPECT_TRUE(sawSaver);
  EXPECT_EQ(registry.Storage().CommitCount(), commits);
}

}  // namespace
