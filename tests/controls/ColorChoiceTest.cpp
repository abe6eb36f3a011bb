#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "controls/XColorBoxComp.h"
#include "controls/XColorBoxUnit.h"
#include "controls/XColorChoiceComp.h"
#include "tests/support/QtTestApplication.h"

namespace {

constexpr TColor kWhite = MakeColor(255, 255, 255);
constexpr TColor kRed = MakeColor(255, 0, 0);

TColor ColorOf(const QImage& image, int x, int y) {
  const QRgb p = image.pixel(x, y);
  return MakeColor(static_cast<uint8_t>(qRed(p)), static_cast<uint8_t>(qGreen(p)),
                   static_cast<uint8_t>(qBlue(p)));
}

// A screen of one colour, or one that cannot be read.
class FakeScreen : public platform::ScreenPixelReader {
 public:
  explicit FakeScreen(std::optional<QRgb> pixel) : pixel_(pixel) {}
  std::optional<QRgb> PixelAt(QPoint) override { return pixel_; }

 private:
  std::optional<QRgb> pixel_;
};

QAction* MenuItem(TColorChoice& picker, const QString& caption) {
  for (QAction* action : picker.ColorMenu()->actions())
    if (action->text() == caption) return action;
  return nullptr;
}

class ColorChoiceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    picker.OnChange = [this] { ++changes; };
    // A 95 x 63 chart under the 18-pixel swatch.
    picker.SetKind(ccHorizontal);
    picker.resize(95, 81);
    picker.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&picker));
  }
  void TearDown() override { picker.ColorMenu()->hide(); }

  void Press(QWidget* w, QPoint p, Qt::MouseButton button = Qt::LeftButton) {
    QTest::mousePress(w, button, {}, p);
  }
  void Move(QWidget* w, QPoint p) {
    QMouseEvent move(QEvent::MouseMove, p, w->mapToGlobal(p), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(w, &move);
  }

  TColorChoice picker;
  int changes = 0;  // OnChange calls
};

TEST_F(ColorChoiceTest, StartsWithTheCaptionBlackAndAMenuOfThirteen) {
  TColorChoice fresh;
  EXPECT_EQ(fresh.Caption(), "Color");
  EXPECT_EQ(fresh.Color(), 0u);
  EXPECT_EQ(fresh.Kind(), ccVertical);
  EXPECT_EQ(fresh.size(), QSize(56, 56));
  EXPECT_EQ(fresh.focusPolicy(), Qt::StrongFocus);
  QStringList captions;
  for (QAction* action : fresh.ColorMenu()->actions()) captions << action->text();
  EXPECT_EQ(captions, QStringList({"Select...", "Copy", "Paste", "", "red", "yellow", "green",
                                   "cyan", "blue", "magenta", "black", "gray", "white"}));
  EXPECT_EQ(fresh.ColorMenu()->defaultAction()->text(), "Select...");
}

TEST_F(ColorChoiceTest, ChartPicksFollowTheMouseAndClampToTheEdges) {
  ASSERT_EQ(picker.Chart()->size(), QSize(95, 63));
  Press(picker.Chart(), QPoint(40, 0));
  EXPECT_EQ(picker.Color(), kWhite);
  Move(picker.Chart(), QPoint(0, 31));
  EXPECT_EQ(picker.Color(), kRed);
  Move(picker.Chart(), QPoint(30, 62));
  EXPECT_EQ(picker.Color(), 0u);
  Move(picker.Chart(), QPoint(-50, -9));  // off the chart: its top-left corner
  EXPECT_EQ(picker.Color(), kWhite);
  Move(picker.Chart(), QPoint(400, 31));
  EXPECT_EQ(picker.Color(), kRed);
  QTest::mouseRelease(picker.Chart(), Qt::LeftButton, {}, QPoint(400, 31));
  // Every pick tells, also one that kept the colour; the picker takes the focus.
  EXPECT_EQ(changes, 5);
  EXPECT_TRUE(picker.hasFocus());
  picker.SetColor(kRed);  // the program's own assignment tells nothing
  EXPECT_EQ(changes, 5);

  picker.SetKind(ccVertical);
  picker.PickAt(0, 10);
  EXPECT_EQ(picker.Color(), 0u);
  picker.PickAt(94, 10);
  EXPECT_EQ(picker.Color(), kWhite);
}

TEST_F(ColorChoiceTest, ChartOfOneRowPaintsAndPicksWithoutDividingByZero) {
  picker.resize(95, 19);
  QTest::qWait(10);
  ASSERT_EQ(picker.Chart()->height(), 1);
  picker.SetKind(ccVertical);
  picker.PickAt(94, 0);
  EXPECT_EQ(picker.Color(), kWhite);
  EXPECT_EQ(ColorOf(picker.Chart()->RenderChart(95, 1), 0, 0), 0u);
  EXPECT_TRUE(picker.Chart()->RenderChart(95, 0).isNull());
  picker.repaint();
}

TEST_F(ColorChoiceTest, ChartPaintsPixelsOrBlocksByScreenDepth) {
  // 17 x 17 horizontal in blocks: pixel (9, 9) takes the colour of the block
  // corner (8, 8), hue 32768 at lightness 32768 (block steps 32767).
  picker.SetScreenBitsPerPixel(8);
  const QImage blocks = picker.Chart()->RenderChart(17, 17);
  EXPECT_EQ(ColorOf(blocks, 9, 9), MakeColor(0, 254, 255));
  EXPECT_EQ(ColorOf(blocks, 15, 15), MakeColor(0, 254, 255));
  EXPECT_EQ(ColorOf(blocks, 0, 0), kWhite);
  picker.SetScreenBitsPerPixel(24);
  const QImage pixels = picker.Chart()->RenderChart(3, 3);
  EXPECT_EQ(ColorOf(pixels, 0, 0), MakeColor(254, 254, 254));
  EXPECT_EQ(ColorOf(pixels, 1, 1), MakeColor(0, 254, 254));
}

TEST_F(ColorChoiceTest, InkIsBlackOnLightColoursAndWhiteOnDarkOnes) {
  const struct {
    TColor color;
    TColor ink;
  } cases[] = {{MakeColor(0, 0, 128), kWhite}, {MakeColor(0, 0, 255), 0}, {kWhite, 0}};
  for (const auto& c : cases) {
    picker.SetColor(c.color);
    const QImage swatch = picker.Display()->RenderSwatch(95, 18);
    EXPECT_EQ(ColorOf(swatch, 3, 3), c.ink) << "square frame";
    EXPECT_EQ(ColorOf(swatch, 7, 7), c.color) << "square inside";
    EXPECT_EQ(ColorOf(swatch, 95 - 15 + 1, 3), c.ink) << "icon line";
    EXPECT_EQ(ColorOf(swatch, 95 - 15 + 4, 4), c.color) << "icon gap";
    EXPECT_EQ(ColorOf(swatch, 95 - 15, 3), c.color) << "icon column 0";
    // The caption's (smoothed) letters lie nearer the ink than the colour.
    const auto distance = [](TColor a, TColor b) {
      return std::abs(RedOf(a) - RedOf(b)) + std::abs(GreenOf(a) - GreenOf(b)) +
             std::abs(BlueOf(a) - BlueOf(b));
    };
    int inked = 0;
    for (int x = 20; x < 95 - 20; ++x)
      for (int y = 0; y < 18; ++y) {
        const TColor pixel = ColorOf(swatch, x, y);
        inked += distance(pixel, c.ink) < distance(pixel, c.color);
      }
    EXPECT_GT(inked, 10) << "caption";
  }
  picker.setFocus();
  const QImage focused = picker.Display()->RenderSwatch(95, 18);
  EXPECT_NE(ColorOf(focused, 2, 2), kWhite);
  picker.clearFocus();
  EXPECT_EQ(ColorOf(picker.Display()->RenderSwatch(95, 18), 2, 2), kWhite);
}

TEST_F(ColorChoiceTest, EyedropperTakesTheScreenColourWhenDroppedElsewhere) {
  picker.SetColor(kRed);
  picker.SetScreenPixelReader(std::make_unique<FakeScreen>(qRgb(10, 20, 30)));
  Press(picker.Display(), QPoint(5, 5));
  EXPECT_TRUE(picker.Display()->Picking());
  ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
  EXPECT_EQ(QGuiApplication::overrideCursor()->hotSpot(), QPoint(7, 7));
  Move(picker.Display(), QPoint(60, 40));
  EXPECT_EQ(picker.Display()->PickedColor(), MakeColor(10, 20, 30));
  EXPECT_EQ(picker.Color(), kRed);
  QTest::mouseRelease(picker.Display(), Qt::LeftButton, {}, QPoint(60, 40));
  EXPECT_EQ(picker.Color(), MakeColor(10, 20, 30));
  EXPECT_EQ(changes, 1);
  EXPECT_FALSE(picker.Display()->Picking());
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);

  // Back on its own square before the drop: nothing changes.
  picker.SetScreenPixelReader(std::make_unique<FakeScreen>(qRgb(200, 0, 0)));
  Press(picker.Display(), QPoint(5, 5));
  Move(picker.Display(), QPoint(60, 40));
  Move(picker.Display(), QPoint(14, 14));
  EXPECT_EQ(picker.Display()->PickedColor(), MakeColor(10, 20, 30));
  QTest::mouseRelease(picker.Display(), Qt::LeftButton, {}, QPoint(14, 14));
  EXPECT_EQ(picker.Color(), MakeColor(10, 20, 30));

  // A display that cannot be read keeps the colour.
  picker.SetScreenPixelReader(std::make_unique<FakeScreen>(std::nullopt));
  Press(picker.Display(), QPoint(5, 5));
  Move(picker.Display(), QPoint(60, 40));
  QTest::mouseRelease(picker.Display(), Qt::LeftButton, {}, QPoint(60, 40));
  EXPECT_EQ(picker.Color(), MakeColor(10, 20, 30));
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(ColorChoiceTest, MenuPastesOnlyAfterACopyAndSetsNamedColours) {
  // The clipboard lives as long as the program; ctest runs every case in a
  // program of its own, so nothing has been copied yet.
  EXPECT_FALSE(ColorClipboardValid());
  picker.ShowColorMenu();
  EXPECT_FALSE(MenuItem(picker, "Paste")->isEnabled());
  picker.ColorMenu()->hide();
  picker.ColorMenuClick(2);
  EXPECT_EQ(changes, 0);

  const struct {
    const char* name;
    TColor color;
  } named[] = {{"red", MakeColor(255, 0, 0)},      {"yellow", MakeColor(255, 215, 0)},
               {"green", MakeColor(0, 224, 0)},    {"cyan", MakeColor(0, 200, 255)},
               {"blue", MakeColor(0, 0, 255)},     {"magenta", MakeColor(200, 0, 255)},
               {"black", MakeColor(0, 0, 0)},      {"gray", MakeColor(128, 128, 128)},
               {"white", MakeColor(255, 255, 255)}};
  int expectedChanges = 0;
  for (const auto& n : named) {
    MenuItem(picker, n.name)->trigger();
    EXPECT_EQ(picker.Color(), n.color) << n.name;
    EXPECT_EQ(changes, ++expectedChanges) << n.name;
  }
  MenuItem(picker, "white")->trigger();  // the colour it already has
  EXPECT_EQ(changes, expectedChanges);

  TColorChoice other;
  int otherChanges = 0;
  other.OnChange = [&otherChanges] { ++otherChanges; };
  picker.SetColor(MakeColor(1, 2, 3));
  MenuItem(picker, "Copy")->trigger();
  other.ShowColorMenu();
  EXPECT_TRUE(MenuItem(other, "Paste")->isEnabled());
  other.ColorMenu()->hide();
  MenuItem(other, "Paste")->trigger();
  EXPECT_EQ(other.Color(), MakeColor(1, 2, 3));
  EXPECT_EQ(otherChanges, 1);
  MenuItem(other, "Paste")->trigger();
  EXPECT_EQ(otherChanges, 1);
}

// Answers the colour dialog once it shows.
void WhenDialogShows(std::function<void(TColorBoxForm&)> action) {
  QTimer::singleShot(0, [action] {
    TColorBoxForm* form = ColorDialogForm();
    ASSERT_NE(form, nullptr);
    action(*form);
  });
}

TEST_F(ColorChoiceTest, SwatchClickAndSpaceOpenTheDialogTitledWithTheCaption) {
  picker.SetCaption("Text");
  picker.SetColor(kRed);
  QString title;
  WhenDialogShows([&title](TColorBoxForm& form) {
    title = form.windowTitle();
    form.PickInField(0, 0);
    form.CancelButton->click();
  });
  Press(picker.Display(), QPoint(47, 9));
  EXPECT_EQ(title, "Text");
  EXPECT_EQ(picker.Color(), kRed);
  EXPECT_EQ(changes, 0);

  WhenDialogShows([](TColorBoxForm& form) {
    form.SetCurrentColor(MakeColor(0, 255, 0));
    form.OKButton->click();
  });
  picker.setFocus();
  QTest::keyClick(&picker, Qt::Key_Space);
  EXPECT_EQ(picker.Color(), MakeColor(0, 255, 0));
  EXPECT_EQ(changes, 1);

  // OK without a change tells nothing.
  WhenDialogShows([](TColorBoxForm& form) { form.OKButton->click(); });
  picker.ColorMenuClick(0);
  EXPECT_EQ(changes, 1);
}

}  // namespace
