#include <gtest/gtest.h>

#include <QGroupBox>
#include <QLineEdit>
#include <QPaintEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include "controls/PaintBox.h"
#include "controls/XColorBoxComp.h"
#include "controls/XColorBoxUnit.h"
#include "controls/XIntegerEditComp.h"
#include "tests/support/QtTestApplication.h"

namespace {

constexpr TColor kBlue = MakeColor(0, 0, 255);

TColor ColorOf(const QImage& image, int x, int y) {
  const QRgb p = image.pixel(x, y);
  return MakeColor(static_cast<uint8_t>(qRed(p)), static_cast<uint8_t>(qGreen(p)),
                   static_cast<uint8_t>(qBlue(p)));
}

QStringList EditTexts(const TColorBoxForm& form) {
  QStringList texts;
  for (TIntegerEdit* edit : form.ValueEdits) texts << edit->text();
  texts << form.CodeEdit->text();
  return texts;
}

// Records the areas a widget repaints.
class PaintRecorder : public QObject {
 public:
  QRegion painted;
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) painted += static_cast<QPaintEvent*>(event)->region();
    return false;
  }
};

class ColorBoxFormTest : public ::testing::Test {
 protected:
  // A shown, active form, as a user sees it.
  void ShowForm() {
    form.show();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
  }
  // Types into an edit from scratch and leaves it with Tab.
  void TypeAndTab(QLineEdit* edit, const QString& text) {
    edit->setFocus(Qt::TabFocusReason);
    edit->selectAll();
    QTest::keyClicks(edit, text);
    QTest::keyClick(edit, Qt::Key_Tab);
  }

  TColorBoxForm form{nullptr, 32};
};

TEST_F(ColorBoxFormTest, StartsInHueModeWithTheLayoutAndTabOrder) {
  EXPECT_EQ(form.size(), QSize(465, 273));
  EXPECT_EQ(form.FieldPaintBox->geometry(), QRect(8, 8, 256, 256));
  EXPECT_EQ(form.StripPaintBox->geometry(), QRect(272, 8, 24, 256));
  EXPECT_EQ(form.ValueEdits[4]->geometry(), QRect(112, 40, 33, 21));
  EXPECT_EQ(form.ModeRadioButtons[5]->geometry(), QRect(80, 66, 32, 17));
  EXPECT_EQ(form.ValuesGroupBox->title(), "Values (Hue)");
  EXPECT_EQ(form.HtmlGroupBox->title(), "HTML Code");
  EXPECT_TRUE(form.OKButton->isDefault());
  // Red at creation.
  EXPECT_EQ(EditTexts(form), QStringList({"0", "100", "100", "255", "0", "0", "FF0000"}));

  QStringList order;
  QWidget* w = form.OKButton;
  for (int i = 0; i < 15; ++i, w = w->nextInFocusChain()) {
    while (w->focusPolicy() == Qt::NoFocus) w = w->nextInFocusChain();
    order << w->objectName();
  }
  EXPECT_EQ(order, QStringList({"OKButton", "CancelButton", "HRadioButton", "SRadioButton",
                                "BRadioButton", "RRadioButton", "GRadioButton", "BlueRadioButton",
                                "HueEdit", "SaturationEdit", "BrightnessEdit", "RedEdit",
                                "GreenEdit", "BlueEdit", "CodeEdit"}));

  form.SelectMode(2);
  EXPECT_EQ(form.ValuesGroupBox->title(), "Values (Brighness)");
  EXPECT_TRUE(form.ModeRadioButtons[2]->isChecked());
  form.ModeRadioButtons[4]->click();
  EXPECT_EQ(form.ChannelMode(), 4);
  EXPECT_EQ(form.ValuesGroupBox->title(), "Values (Green)");
}

TEST_F(ColorBoxFormTest, PureBlueShowsItsMarkersValuesAndPictures) {
  form.SetCurrentColor(kBlue);
  EXPECT_EQ(form.Markers(), (TColorMarkers{255, 0, 85}));
  EXPECT_EQ(EditTexts(form), QStringList({"240", "100", "100", "0", "0", "255", "0000FF"}));
  const QImage field = form.FieldImage();
  const QImage strip = form.StripImage();
  // Saturation 0 at the left: white on top, black at the bottom; blue top right
  // lies under the marker.
  EXPECT_EQ(ColorOf(field, 0, 0), MakeColor(255, 255, 255));
  EXPECT_EQ(ColorOf(field, 0, 255), 0u);
  EXPECT_EQ(ColorOf(field, 255, 128), MakeColor(0, 0, 127));
  EXPECT_EQ(ColorOf(strip, 0, 0), MakeColor(255, 0, 0));
  EXPECT_EQ(ColorOf(strip, 23, 255), MakeColor(255, 5, 0));
  // The marker's black rim crosses row 85 at strip columns 4 + 1 and 4 + 15.
  EXPECT_EQ(ColorOf(strip, 5, 85), 0u);
  EXPECT_EQ(ColorOf(strip, 12, 85), MakeColor(1, 0, 255));

  const QImage swatch = form.SwatchPaintBox->grab().toImage();
  EXPECT_EQ(ColorOf(swatch, 10, 10), kBlue);
  EXPECT_EQ(ColorOf(swatch, 10, 40), kBlue);
}

TEST_F(ColorBoxFormTest, TypedValuesCommitWhenTheEditIsLeft) {
  ShowForm();
  form.SetCurrentColor(kBlue);
  TypeAndTab(form.ValueEdits[3], "-80");  // digits only: the minus is dropped
  EXPECT_EQ(form.CurrentColor(), MakeColor(80, 0, 255));
  EXPECT_EQ(EditTexts(form), QStringList({"259", "100", "100", "80", "0", "255", "5000FF"}));

  // Hue 60 lands on 10922.5, rounded to the even 10922.
  TypeAndTab(form.ValueEdits[0], "60");
  EXPECT_EQ(form.CodeEdit->text(), "FFFE00");
  EXPECT_EQ(form.CurrentHSB(), (THSB{10922, 65280, 65280}));

  TypeAndTab(form.CodeEdit, "ff8000");
  EXPECT_EQ(form.CurrentColor(), MakeColor(255, 128, 0));
  EXPECT_EQ(form.ValueEdits[0]->text(), "30");  // hue 5504 * 359 / 65280 = 30.3

  // Not six hexadecimal digits: the colour stays, the code is rewritten.
  for (const char* bad : {"12345", "GGGGGG", "12 45F"}) {
    TypeAndTab(form.CodeEdit, bad);
    EXPECT_EQ(form.CurrentColor(), MakeColor(255, 128, 0)) << bad;
    EXPECT_EQ(form.CodeEdit->text(), "FF8000") << bad;
  }
  // Typing the value the edit had: no commit, so the colour keeps its hue.
  form.PickInField(200, 10);
  const TColor picked = form.CurrentColor();
  TypeAndTab(form.ValueEdits[1], form.ValueEdits[1]->text());
  EXPECT_EQ(form.CurrentColor(), picked);
}

TEST_F(ColorBoxFormTest, EnterInAnEditCommitsItBeforeOK) {
  ShowForm();
  form.SetCurrentColor(kBlue);
  form.ValueEdits[3]->setFocus(Qt::TabFocusReason);
  form.ValueEdits[3]->selectAll();
  QTest::keyClicks(form.ValueEdits[3], "80");
  QTest::keyClick(form.ValueEdits[3], Qt::Key_Return);
  EXPECT_EQ(form.result(), QDialog::Accepted);
  EXPECT_FALSE(form.isVisible());
  EXPECT_EQ(form.CurrentColor(), MakeColor(80, 0, 255));

  ShowForm();
  form.SetCurrentColor(kBlue);
  form.CodeEdit->setFocus(Qt::TabFocusReason);
  form.CodeEdit->selectAll();
  QTest::keyClicks(form.CodeEdit, "00ff00");
  QTest::keyClick(form.CodeEdit, Qt::Key_Enter);
  EXPECT_EQ(form.result(), QDialog::Accepted);
  EXPECT_EQ(form.CurrentColor(), MakeColor(0, 255, 0));
}

TEST_F(ColorBoxFormTest, DraggingMovesTheMarkerAndRepaintsOnlyTwoSquares) {
  form.SetCurrentColor(kBlue);
  ShowForm();
  QTest::qWait(20);
  PaintRecorder recorder;
  form.FieldPaintBox->installEventFilter(&recorder);
  QTest::mousePress(form.FieldPaintBox, Qt::LeftButton, {}, QPoint(100, 100));
  QTest::qWait(20);
  // Saturation 100 * 256, brightness 155 * 256 of blue.
  EXPECT_EQ(form.Markers(), (TColorMarkers{100, 100, 85}));
  EXPECT_EQ(form.CurrentHSB(), (THSB{43691, 25600, 39680}));
  EXPECT_EQ(recorder.painted, QRegion(QRect(247, 0, 9, 8)) + QRegion(QRect(92, 92, 16, 16)));

  // Dragged past the corner: the marker stays on the edges.
  QMouseEvent drag(QEvent::MouseMove, QPointF(300, -40), QPointF(300, -40), Qt::NoButton,
                   Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(form.FieldPaintBox, &drag);
  EXPECT_EQ(form.Markers(), (TColorMarkers{255, 0, 85}));
  EXPECT_EQ(form.CurrentColor(), kBlue);
  QTest::mouseRelease(form.FieldPaintBox, Qt::LeftButton, {}, QPoint(255, 0));
  QApplication::sendEvent(form.FieldPaintBox, &drag);
  EXPECT_EQ(form.Markers(), (TColorMarkers{255, 0, 85}));

  // The strip: row 0 is hue 65280 of full saturation and brightness.
  QTest::mousePress(form.StripPaintBox, Qt::LeftButton, {}, QPoint(5, -30));
  EXPECT_EQ(form.Markers().Z, 0);
  EXPECT_EQ(form.CurrentColor(), MakeColor(255, 0, 5));
  form.FieldPaintBox->removeEventFilter(&recorder);
}

TEST(ColorBoxFormLowColorTest, PaintsBlocksOfTheirTopLeftPixel) {
  TColorBoxForm form(nullptr, 8);
  form.SetCurrentColor(MakeColor(255, 0, 0));
  const QImage field = form.FieldImage();
  // Pixel (16, 16): saturation 4096, brightness 61184 of red.
  EXPECT_EQ(ColorOf(field, 16, 16), MakeColor(239, 224, 224));
  EXPECT_EQ(ColorOf(field, 31, 31), MakeColor(239, 224, 224));
  const QImage strip = form.StripImage();
  EXPECT_EQ(ColorOf(strip, 0, 7), MakeColor(255, 0, 0));
  EXPECT_EQ(ColorOf(strip, 0, 8), ColorOf(strip, 0, 15));
  EXPECT_NE(ColorOf(strip, 0, 8), ColorOf(strip, 0, 16));
}

// Runs `action` on the shown dialog once the modal loop is running.
void WhenDialogShows(std::function<void(TColorBoxForm&)> action) {
  QTimer::singleShot(0, [action] {
    TColorBoxForm* form = ColorDialogForm();
    ASSERT_NE(form, nullptr);
    ASSERT_TRUE(form->isVisible());
    action(*form);
  });
}

TEST(ColorBoxTest, RunsKeepTheModeAndReturnTheColourOnlyOnOK) {
  TColorBox box;
  EXPECT_EQ(box.Caption(), "Color selection");
  box.SetColor(kBlue);
  WhenDialogShows([](TColorBoxForm& form) {
    EXPECT_EQ(form.windowTitle(), "Color selection");
    form.SelectMode(3);
    form.PickInStrip(255 - 80);
    form.OKButton->click();
  });
  ASSERT_TRUE(box.Execute());
  EXPECT_EQ(box.Color(), MakeColor(80, 0, 255));

  // The second run starts with that colour in both halves, in red mode.
  box.SetCaption("Text colour");
  WhenDialogShows([](TColorBoxForm& form) {
    EXPECT_EQ(form.windowTitle(), "Text colour");
    EXPECT_EQ(form.ChannelMode(), 3);
    EXPECT_EQ(form.OriginalColor(), MakeColor(80, 0, 255));
    const QImage swatch = form.SwatchPaintBox->grab().toImage();
    EXPECT_EQ(ColorOf(swatch, 10, 10), MakeColor(80, 0, 255));
    EXPECT_EQ(ColorOf(swatch, 10, 40), MakeColor(80, 0, 255));
    form.PickInField(0, 0);
    form.CancelButton->click();
  });
  EXPECT_FALSE(box.Execute());
  EXPECT_EQ(box.Color(), MakeColor(80, 0, 255));

  WhenDialogShows([](TColorBoxForm& form) {
    form.PickInField(0, 0);
    QTest::keyClick(&form, Qt::Key_Escape);
  });
  EXPECT_FALSE(box.Execute());
  WhenDialogShows([](TColorBoxForm& form) {
    form.PickInField(0, 0);
    form.close();
  });
  EXPECT_FALSE(box.Execute());
  EXPECT_EQ(box.Color(), MakeColor(80, 0, 255));
}

// Opened from a widget, the shared window is transient for that widget's
// window while it runs (window managers keep it above its opener), and
// afterwards for nothing: it outlives every opener.
TEST(ColorBoxTest, EachRunBelongsToTheWindowOfItsOpener) {
  for (const bool fromWidget : {true, false}) {
    QWidget opener;
    QWidget* inside = new QWidget(&opener);
    opener.show();
    TColorBox box(fromWidget ? static_cast<QObject*>(inside) : nullptr);
    QWindow* during = reinterpret_cast<QWindow*>(1);
    WhenDialogShows([&during](TColorBoxForm& form) {
      during = form.windowHandle()->transientParent();
      form.CancelButton->click();
    });
    EXPECT_FALSE(box.Execute());
    EXPECT_EQ(during, fromWidget ? opener.windowHandle() : nullptr) << fromWidget;
    EXPECT_EQ(ColorDialogForm()->windowHandle()->transientParent(), nullptr) << fromWidget;
  }
  // The opener is gone; the window is not.
  ASSERT_NE(ColorDialogForm(), nullptr);
  EXPECT_FALSE(ColorDialogForm()->isVisible());
}

}  // namespace
