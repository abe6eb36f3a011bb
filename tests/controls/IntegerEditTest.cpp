#include <gtest/gtest.h>

#include <QFocusEvent>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>
#include <climits>

#include "controls/XIntegerEditComp.h"
#include "tests/support/QtTestApplication.h"

namespace {

// Counts the beeps instead of sounding them.
class CountingEdit : public TIntegerEdit {
 public:
  using TIntegerEdit::TIntegerEdit;
  int beeps = 0;

 protected:
  void SoundBeep() override { ++beeps; }
};

class IntegerEditTest : public ::testing::Test {
 protected:
  CountingEdit edit;
};

TEST_F(IntegerEditTest, ReadingClampsAndRewritesTheText) {
  edit.SetMaxValue(255);
  const struct {
    const char* typed;
    int32_t value;
    const char* shown;
  } cases[] = {
      {"300", 255, "255"},
      {"-5", 0, "0"},
      {"-", 0, "0"},
      {"007", 7, "7"},
      {"", 0, "0"},
      {"12a", 0, "0"},
      {"+5", 0, "0"},
      {" 42 ", 42, "42"},
      {"-0", 0, "0"},
      {"255", 255, "255"},
      {"99999999999", 255, "255"},
  };
  for (const auto& c : cases) {
    edit.setText(c.typed);
    EXPECT_EQ(edit.Value(), c.value) << "text '" << c.typed << "'";
    EXPECT_EQ(edit.text(), c.shown) << "text '" << c.typed << "'";
  }
  // What is no number reads as the minimum, not as zero.
  edit.SetMinValue(10);
  for (const char* typed : {"", "-", "x", "1 2", "--3"}) {
    edit.setText(typed);
    EXPECT_EQ(edit.Value(), 10) << "text '" << typed << "'";
    EXPECT_EQ(edit.text(), "10");
  }
}

TEST_F(IntegerEditTest, NumbersBeyondThirtyTwoBitsReadAsTheNearestBound) {
  edit.SetMinValue(INT32_MIN);
  edit.SetMaxValue(INT32_MAX);
  edit.setText("-2147483648");
  EXPECT_EQ(edit.Value(), INT32_MIN);
  edit.setText("2147483647");
  EXPECT_EQ(edit.Value(), INT32_MAX);
  edit.setText("2147483648");
  EXPECT_EQ(edit.Value(), INT32_MAX);
  edit.setText("-123456789012345678901234567890");
  EXPECT_EQ(edit.Value(), INT32_MIN);
  EXPECT_EQ(edit.text(), "-2147483648");
}

TEST_F(IntegerEditTest, WritingClampsIntoTheRange) {
  edit.SetMinValue(-50);
  edit.SetMaxValue(50);
  edit.SetValue(-7);
  EXPECT_EQ(edit.text(), "-7");
  edit.SetValue(300);
  EXPECT_EQ(edit.text(), "50");
  edit.SetValue(INT32_MIN);
  EXPECT_EQ(edit.text(), "-50");
}

TEST_F(IntegerEditTest, LoweringTheMaximumBelowTheValueLowersTheValue) {
  edit.SetValue(80);
  edit.SetMaxValue(50);
  EXPECT_EQ(edit.MaxValue(), 50);
  EXPECT_EQ(edit.Value(), 50);
  EXPECT_EQ(edit.text(), "50");
  // Below the minimum the maximum stops at the minimum.
  edit.SetMinValue(20);
  edit.SetMaxValue(5);
  EXPECT_EQ(edit.MaxValue(), 20);
  EXPECT_EQ(edit.Value(), 20);
}

TEST_F(IntegerEditTest, RaisingTheMinimumMovesTheValueUpAndStopsAtTheMaximum) {
  edit.SetValue(30);
  edit.SetMinValue(40);
  EXPECT_EQ(edit.MinValue(), 40);
  EXPECT_EQ(edit.Value(), 40);
  edit.SetMinValue(150);
  EXPECT_EQ(edit.MinValue(), 100);
  EXPECT_EQ(edit.Value(), 100);
  EXPECT_EQ(edit.text(), "100");
  // A value already above a lower minimum stays.
  CountingEdit other;
  other.SetValue(60);
  other.SetMinValue(10);
  EXPECT_EQ(other.Value(), 60);
}

TEST_F(IntegerEditTest, RejectedKeysChangeNothingAndBeepOnlyWhenAsked) {
  QSignalSpy returns(&edit, &QLineEdit::returnPressed);
  for (const bool beep : {false, true}) {
    edit.SetBeep(beep);
    edit.beeps = 0;
    edit.clear();
    QTest::keyClicks(&edit, "a1-b2 ");
    QTest::keyClick(&edit, Qt::Key_Return);
    QTest::keyClick(&edit, Qt::Key_Enter);
    EXPECT_EQ(edit.text(), "1-2");
    // 'a', 'b', the space and both Enter keys.
    EXPECT_EQ(edit.beeps, beep ? 5 : 0);
  }
  EXPECT_EQ(returns.count(), 0);
}

TEST_F(IntegerEditTest, EditingKeysAndShortcutsStillWork) {
  edit.SetBeep(true);
  edit.setText("123");
  edit.end(false);
  QTest::keyClick(&edit, Qt::Key_Backspace);
  EXPECT_EQ(edit.text(), "12");
  QTest::keyClick(&edit, Qt::Key_Home);
  QTest::keyClick(&edit, Qt::Key_Delete);
  EXPECT_EQ(edit.text(), "2");
  QTest::keyClick(&edit, Qt::Key_A, Qt::ControlModifier);
  QTest::keyClick(&edit, Qt::Key_7);
  EXPECT_EQ(edit.text(), "7");
  EXPECT_EQ(edit.beeps, 0);
}

TEST_F(IntegerEditTest, HexEditAcceptsHexDigitsAndShowsHex) {
  edit.SetBeep(true);
  edit.SetMaxValue(255);
  edit.SetValue(255);
  edit.SetValidType(ieHex);
  EXPECT_EQ(edit.text(), "FF");
  edit.clear();
  QTest::keyClicks(&edit, "1aG-fz");
  EXPECT_EQ(edit.text(), "1af");
  EXPECT_EQ(edit.beeps, 3);
  // 0x1AF = 431 is clamped to 255.
  EXPECT_EQ(edit.Value(), 255);
  edit.setText("1f");
  EXPECT_EQ(edit.Value(), 31);
  EXPECT_EQ(edit.text(), "1F");
  edit.SetValidType(ieInteger);
  EXPECT_EQ(edit.text(), "31");
}

// Two edits in a shown window, so that the focus really moves.
class IntegerEditFocusTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(first);
    layout->addWidget(second);
    first->SetMaxValue(255);
    first->SetValue(42);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    second->setFocus(Qt::TabFocusReason);
  }

  QWidget window;
  CountingEdit* first = new CountingEdit(&window);
  CountingEdit* second = new CountingEdit(&window);
};

TEST_F(IntegerEditFocusTest, TypingBackTheEntryValueIsNoModification) {
  first->setFocus(Qt::TabFocusReason);
  QTest::keyClicks(first, "7");
  EXPECT_TRUE(first->Modified());
  first->selectAll();
  QTest::keyClicks(first, "42");
  EXPECT_FALSE(first->Modified());
  second->setFocus(Qt::TabFocusReason);
  EXPECT_FALSE(first->Modified());
}

TEST_F(IntegerEditFocusTest, EnteringRemembersTheNormalisedValue) {
  first->setText("0300");
  first->setFocus(Qt::TabFocusReason);
  EXPECT_EQ(first->text(), "255");
  EXPECT_FALSE(first->Modified());
  first->selectAll();
  QTest::keyClicks(first, "254");
  EXPECT_TRUE(first->Modified());
}

TEST_F(IntegerEditFocusTest, LeavingRunsExitOnTheTypedTextThenTidiesIt) {
  QString textAtExit;
  bool modifiedAtExit = false;
  first->OnExit = [&] {
    textAtExit = first->text();
    modifiedAtExit = first->Modified();
  };
  first->setFocus(Qt::TabFocusReason);
  first->selectAll();
  QTest::keyClicks(first, "0300");
  second->setFocus(Qt::TabFocusReason);
  EXPECT_EQ(textAtExit, "0300");
  EXPECT_TRUE(modifiedAtExit);
  EXPECT_EQ(first->text(), "255");
}

TEST_F(IntegerEditFocusTest, EntryByProgramSelectsAllButAClickDoesNot) {
  first->setFocus(Qt::OtherFocusReason);
  EXPECT_EQ(first->selectedText(), "42");
  second->setFocus(Qt::TabFocusReason);
  first->setFocus(Qt::MouseFocusReason);
  EXPECT_FALSE(first->hasSelectedText());
}

TEST_F(IntegerEditFocusTest, AContextMenuOrAnotherProgramDoesNotEndTheEntry) {
  for (const Qt::FocusReason reason : {Qt::PopupFocusReason, Qt::ActiveWindowFocusReason}) {
    first->setFocus(Qt::TabFocusReason);
    first->selectAll();
    QTest::keyClicks(first, "-");
    QFocusEvent away(QEvent::FocusOut, reason);
    QApplication::sendEvent(first, &away);
    EXPECT_EQ(first->text(), "-");
    QFocusEvent back(QEvent::FocusIn, reason);
    QApplication::sendEvent(first, &back);
    EXPECT_EQ(first->text(), "-");
    // The entry value is still the one from before.
    first->selectAll();
    QTest::keyClicks(first, "42");
    EXPECT_FALSE(first->Modified());
    second->setFocus(Qt::TabFocusReason);
  }
}

TEST(IntegerEditWindowTest, TheFocusedEditOfANewWindowIsEntered) {
  QWidget window;
  auto* edit = new TIntegerEdit(&window);
  edit->setText("007");
  window.show();
  window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  ASSERT_TRUE(edit->hasFocus());
  EXPECT_EQ(edit->text(), "7");
  EXPECT_EQ(edit->selectedText(), "7");
  EXPECT_FALSE(edit->Modified());
  // Hidden and shown again later, the window starts a new entry when it
  // gives the edit the focus back.
  window.hide();
  edit->SetValue(9);
  QFocusEvent back(QEvent::FocusIn, Qt::ActiveWindowFocusReason);
  QApplication::sendEvent(edit, &back);
  EXPECT_FALSE(edit->Modified());
}

}  // namespace
