#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPalette>
#include <QTest>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "controls/XNiceScrollBarComp.h"
#include "tests/support/QtTestApplication.h"

namespace {

const QColor kFace(200, 200, 200);
const QColor kShadow(100, 100, 100);
const QColor kHighlight(255, 255, 255);
const QColor kText(255, 0, 0);

// Records the events in the order they fire, with the value OnScroll sees.
struct EventLog {
  explicit EventLog(TNiceScrollBar& bar) {
    bar.OnScroll = [this](TScrollCode code, int32_t& pos) {
      events.push_back("scroll " + std::to_string(code) + " at " + std::to_string(pos));
    };
    bar.OnChange = [this] { events.push_back("change"); };
  }
  std::vector<std::string> Take() { return std::exchange(events, {}); }
  std::vector<std::string> events;
};

using Events = std::vector<std::string>;

void SendMouse(QWidget& widget, QEvent::Type type, Qt::MouseButton button, QPoint at) {
  const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton
                                : type == QEvent::MouseMove        ? Qt::LeftButton
                                                                   : button;
  QMouseEvent event(type, QPointF(at), widget.mapToGlobal(QPointF(at)), button, held,
                    Qt::NoModifier);
  QApplication::sendEvent(&widget, &event);
}

void Press(QWidget& widget, QPoint at, Qt::MouseButton button = Qt::LeftButton) {
  SendMouse(widget, QEvent::MouseButtonPress, button, at);
}
void MoveTo(QWidget& widget, QPoint at) {
  SendMouse(widget, QEvent::MouseMove, Qt::NoButton, at);
}
void Release(QWidget& widget, QPoint at) {
  SendMouse(widget, QEvent::MouseButtonRelease, Qt::LeftButton, at);
}

// Whether the bar took the key for itself.
bool SendKey(QWidget& widget, int key) {
  QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier, key == Qt::Key_Space ? " " : "");
  QApplication::sendEvent(&widget, &event);
  return event.isAccepted();
}

void UseKnownColours(QWidget& widget) {
  QPalette palette = widget.palette();
  palette.setColor(QPalette::Button, kFace);
  palette.setColor(QPalette::Dark, kShadow);
  palette.setColor(QPalette::Light, kHighlight);
  palette.setColor(QPalette::WindowText, kText);
  widget.setPalette(palette);
}

// A horizontal bar as the setup dialog places them: 217 x 28, caption shown.
void Configure(TNiceScrollBar& bar, int32_t min, int32_t max, int32_t position,
               int32_t smallChange) {
  bar.resize(217, 28);
  bar.SetMin(min);
  bar.SetMax(max);
  bar.SetSmallChange(smallChange);
  bar.SetPosition(position);
  bar.SetDefaultPos(position);
  bar.SetDefaultMode(dmFixed);
}

// Where the track line of a 28 pixel high bar with its caption lies.
int CaptionedLineY(const QWidget& bar) {
  const int th = QFontMetrics(bar.font()).height();
  return th + (28 - 12 - th) / 2 + 6;
}

class NiceScrollBarTest : public ::testing::Test {
 protected:
  TNiceScrollBar bar;
  EventLog log{bar};
};

TEST_F(NiceScrollBarTest, AssignmentsKeepTheValuesInOrderAndFireNothing) {
  EXPECT_EQ(bar.size(), QSize(120, 32));
  EXPECT_EQ(bar.LabelCaption(), "Position: <#Pos>");
  bar.SetDefaultMode(dmAuto);
  bar.SetPosition(150);  // above Max 100
  EXPECT_EQ(bar.Position(), 100);
  EXPECT_EQ(bar.Position2(), 100) << "pushed up in normal mode";
  EXPECT_EQ(bar.DefaultPos(), 100) << "follows in dmAuto";
  bar.SetDefaultPos2(100);
  bar.SetMax(40);
  EXPECT_EQ(bar.Position(), 40);
  EXPECT_EQ(bar.Position2(), 40);
  EXPECT_EQ(bar.DefaultPos(), 40);
  EXPECT_EQ(bar.DefaultPos2(), 40);
  bar.SetMin(60);  // above Max: stops at Max
  EXPECT_EQ(bar.Min(), 40);
  bar.SetMin(-10);
  bar.SetDefaultMode(dmFixed);
  bar.SetPosition(-3);
  EXPECT_EQ(bar.Position(), -3);
  EXPECT_EQ(bar.DefaultPos(), 40) << "kept in dmFixed";
  bar.SetDefaultPos2(5);
  EXPECT_EQ(bar.DefaultPos(), 5) << "pulled down to DefaultPos2";
  bar.SetSmallChange(0);
  EXPECT_EQ(bar.SmallChange(), 1);
  bar.SetSmallChange(500);
  EXPECT_EQ(bar.SmallChange(), 50);
  bar.SetScrollMode(smMinMax);
  bar.SetPosition2(-20);
  EXPECT_EQ(bar.Position2(), -3) << "never below Position";
  bar.SetPosition(30);
  EXPECT_EQ(bar.Position(), -3) << "never above Position2";
  EXPECT_EQ(log.Take(), Events{});
}

TEST_F(NiceScrollBarTest, ArrowKeysAlongTheBarStepAndFire) {
  Configure(bar, 10, 100, 12, 5);
  EXPECT_TRUE(SendKey(bar, Qt::Key_Left));
  EXPECT_EQ(bar.Position(), 10) << "12 - 5 clamped, not snapped";
  EXPECT_EQ(log.Take(), (Events{"scroll 0 at 10", "change"}));
  EXPECT_TRUE(SendKey(bar, Qt::Key_Left));
  EXPECT_EQ(log.Take(), Events{}) << "nothing changed at Min";
  EXPECT_TRUE(SendKey(bar, Qt::Key_Right));
  EXPECT_EQ(log.Take(), (Events{"scroll 1 at 15", "change"}));
  for (int key : {Qt::Key_Up, Qt::Key_Down, Qt::Key_PageUp, Qt::Key_Home, Qt::Key_Space}) {
    EXPECT_FALSE(SendKey(bar, key)) << "key " << key << " is left to the dialog";
  }
  EXPECT_EQ(bar.Position(), 15);

  bar.SetKind(sbVertical);
  EXPECT_FALSE(SendKey(bar, Qt::Key_Right));
  EXPECT_TRUE(SendKey(bar, Qt::Key_Up));
  EXPECT_EQ(log.Take(), (Events{"scroll 1 at 20", "change"}));

  // In min-max mode Space switches the keys to the other button; OnScroll
  // still hands out Position, and writing to it changes Position.
  bar.SetKind(sbHorizontal);
  bar.SetScrollMode(smMinMax);
  bar.SetPosition2(50);
  EXPECT_TRUE(SendKey(bar, Qt::Key_Space));
  bar.OnScroll = [logged = bar.OnScroll](TScrollCode code, int32_t& pos) {
    logged(code, pos);
    pos = 42;
  };
  EXPECT_TRUE(SendKey(bar, Qt::Key_Right));
  EXPECT_EQ(bar.Position2(), 55);
  EXPECT_EQ(bar.Position(), 42);
  EXPECT_EQ(log.Take(), (Events{"scroll 1 at 20", "change"}));
}

TEST_F(NiceScrollBarTest, ClickJumpsToTheSnappedValueAndDragFollows) {
  Configure(bar, 8, 200, 50, 2);
  const int y = CaptionedLineY(bar);
  // The button centred on x = 100 has its corner at 88: 8 + 2 * 44.
  Press(bar, {100, y});
  EXPECT_TRUE(bar.Hold());
  EXPECT_EQ(bar.Position(), 96);
  EXPECT_EQ(log.Take(), (Events{"scroll 5 at 96", "change"}));
  // Dragged with the grab offset: 36 pixels on, (124 * 96 + 96) / 193 = 62.
  MoveTo(bar, {136, y});
  EXPECT_EQ(bar.Position(), 132);
  MoveTo(bar, {136, y + 40});  // leaving the bar's height changes nothing
  Release(bar, {136, y});
  EXPECT_FALSE(bar.Hold());
  EXPECT_EQ(log.Take(), (Events{"scroll 5 at 132", "change", "scroll 8 at 132"}));

  // A drag on the button (corner 124) that ends where it started has no end
  // event: corner 154 gives 8 + 2 * ((154 * 96 + 96) / 193) = 162.
  const QPoint onButton(143, y);
  Press(bar, onButton);
  MoveTo(bar, onButton + QPoint(30, 0));
  MoveTo(bar, onButton);
  Release(bar, onButton);
  EXPECT_EQ(log.Take(), (Events{"scroll 5 at 162", "change", "scroll 5 at 132", "change"}));
}

TEST_F(NiceScrollBarTest, DraggedValuesLieOnTheGrid) {
  Configure(bar, 10, 100, 25, 5);
  const int y = CaptionedLineY(bar);
  std::set<int32_t> seen;
  bar.OnChange = [&] { seen.insert(bar.Position()); };
  Press(bar, {0, y});
  for (int x = -30; x <= 250; ++x) MoveTo(bar, {x, y});
  for (int x = 250; x >= -30; --x) MoveTo(bar, {x, y});
  Release(bar, {0, y});
  std::set<int32_t> grid;
  for (int32_t v = 10; v <= 100; v += 5) grid.insert(v);
  EXPECT_EQ(seen, grid);
}

TEST_F(NiceScrollBarTest, RangeButtonsStopAtEachOther) {
  bar.resize(217, 28);
  bar.SetLabelVisible(false);  // track at y 14, buttons 16 wide
  bar.SetScrollMode(smMinMax);
  bar.SetPosition2(50);
  bar.SetPosition(50);
  // Side by side: button 0 at 92, button 1 at 108.
  Press(bar, {100, 14});
  MoveTo(bar, {160, 14});
  Release(bar, {160, 14});
  EXPECT_EQ(bar.Position(), 50);
  Press(bar, {116, 14});
  MoveTo(bar, {40, 14});
  Release(bar, {40, 14});
  EXPECT_EQ(bar.Position2(), 50);
  EXPECT_EQ(log.Take(), Events{});
  // Away from each other they move: corner 74 gives (7400 + 92) / 185 = 40.
  Press(bar, {100, 14});
  MoveTo(bar, {82, 14});
  Release(bar, {82, 14});
  EXPECT_EQ(bar.Position(), 40);
  EXPECT_EQ(log.Take(), (Events{"scroll 5 at 40", "change", "scroll 8 at 40"}));
}

TEST_F(NiceScrollBarTest, ClickPicksTheNearerRangeButton) {
  bar.resize(217, 60);
  bar.SetLabelVisible(false);  // track at y 30
  bar.SetScrollMode(smMinMax);
  bar.SetPosition2(60);  // button 1 centred at 135
  bar.SetPosition(40);   // button 0 centred at 82
  // Above the track and nearer to button 1: 23 + 20 against 30 + 20.
  Press(bar, {112, 10});
  Release(bar, {112, 10});
  EXPECT_EQ(bar.Position(), 40);
  EXPECT_EQ(bar.Position2(), 48);  // corner 104: (88 * 100 + 92) / 185 = 48
}

TEST_F(NiceScrollBarTest, DisabledBarIgnoresTheMouseButNotTheKeys) {
  Configure(bar, 0, 100, 30, 1);
  bar.SetEnabled(false);
  Press(bar, {150, CaptionedLineY(bar)});
  EXPECT_FALSE(bar.Hold());
  EXPECT_FALSE(bar.hasFocus());
  Release(bar, {150, CaptionedLineY(bar)});
  EXPECT_EQ(bar.Position(), 30);
  EXPECT_TRUE(SendKey(bar, Qt::Key_Right));
  EXPECT_EQ(log.Take(), (Events{"scroll 1 at 31", "change"}));

  // Disabling in the middle of a drag ends it.
  bar.SetEnabled(true);
  Press(bar, {150, CaptionedLineY(bar)});
  EXPECT_TRUE(bar.Hold());
  bar.SetEnabled(false);
  EXPECT_FALSE(bar.Hold());
}

TEST_F(NiceScrollBarTest, MenuOffersWhatCanBeDone) {
  QMenu* menu = bar.findChild<QMenu*>();
  ASSERT_NE(menu, nullptr);
  const QList<QAction*> items = menu->actions();
  ASSERT_EQ(items.size(), 3);
  QAction* reset = items[0];
  QAction* minimum = items[1];
  QAction* maximum = items[2];
  EXPECT_EQ(reset->text(), "Reset");
  EXPECT_EQ(minimum->text(), "Minimum");
  EXPECT_EQ(maximum->text(), "Maximum");

  // dmDisabled: no "Reset"; also offered on a disabled bar.
  bar.resize(217, 28);
  bar.SetEnabled(false);
  Press(bar, {5, 5}, Qt::RightButton);
  EXPECT_TRUE(menu->isVisible());
  EXPECT_FALSE(reset->isVisible());
  EXPECT_FALSE(minimum->isEnabled());
  EXPECT_TRUE(maximum->isEnabled());
  maximum->trigger();
  menu->hide();
  EXPECT_EQ(bar.Position(), 100);
  EXPECT_EQ(log.Take(), (Events{"scroll 4 at 100", "change"}));

  bar.SetDefaultMode(dmFixed);
  bar.SetDefaultPos(20);
  Press(bar, {5, 5}, Qt::RightButton);
  EXPECT_TRUE(reset->isVisible());
  EXPECT_TRUE(reset->isEnabled());
  EXPECT_FALSE(maximum->isEnabled());
  reset->trigger();
  menu->hide();
  EXPECT_EQ(bar.Position(), 20);
  EXPECT_EQ(log.Take(), (Events{"scroll 4 at 20", "change"}));

  // A range resets in three steps, so a default above the old upper value
  // is still reached.
  bar.SetScrollMode(smMinMax);
  bar.SetPosition(10);
  bar.SetPosition2(15);
  bar.SetDefaultPos2(30);
  Press(bar, {5, 5}, Qt::RightButton);
  reset->trigger();
  menu->hide();
  EXPECT_EQ(bar.Position(), 20);
  EXPECT_EQ(bar.Position2(), 30);
  Press(bar, {5, 5}, Qt::RightButton);
  EXPECT_FALSE(reset->isEnabled());
  minimum->trigger();
  menu->hide();
  EXPECT_EQ(bar.Position2(), 0);
  maximum->trigger();
  EXPECT_EQ(bar.Position(), 100);
  EXPECT_EQ(log.Take(), (Events{"scroll 4 at 20", "change", "scroll 4 at 0", "change",
                                "scroll 4 at 100", "change"}));
}

// S shadow, H highlight, K black, F button face.
QColor ColourOf(char code) {
  switch (code) {
    case 'S':
      return kShadow;
    case 'H':
      return kHighlight;
    case 'K':
      return Qt::black;
    default:
      return kFace;
  }
}

void ExpectPixels(const QImage& image, QPoint topLeft, const std::vector<std::string>& rows) {
  for (size_t r = 0; r < rows.size(); ++r) {
    for (size_t c = 0; c < rows[r].size(); ++c) {
      const QPoint p = topLeft + QPoint(static_cast<int>(c), static_cast<int>(r));
      EXPECT_EQ(image.pixelColor(p), ColourOf(rows[r][c])) << "pixel " << p.x() << ", " << p.y();
    }
  }
}

TEST_F(NiceScrollBarTest, DefaultBarIsDrawnToThePixel) {
  bar.resize(217, 28);
  UseKnownColours(bar);
  const int cy = CaptionedLineY(bar);
  const QImage image = bar.grab().toImage();
  ASSERT_EQ(image.size(), QSize(217, 28));
  // The button at value 0 (corner 0, cy - 6) with its grip lines, and the
  // start of the track (rows cy - 1 .. cy + 1) beside it.
  ExpectPixels(image, {0, cy - 6},
               {
                   "FFFFFFFFFFFFFFFFFFFFFFFFFFFF",
                   "FHHHHHHHHHHHHHHHHHHHHHHKFFFF",
                   "FHFFFFFFFFFFFFFFFFFFFFSKFFFF",
                   "FHFFFSHFSHFSHFSHFSHFFFSKFFFF",
                   "FHFFFSHFSHFSHFSHFSHFFFSKFFFF",
                   "FHFFFSHFSHFSHFSHFSHFFFSKSSSS",
                   "FHFFFSHFSHFSHFSHFSHFFFSKKKKK",
                   "FHFFFSHFSHFSHFSHFSHFFFSKHHHH",
                   "FHFFFSHFSHFSHFSHFSHFFFSKFFFF",
                   "FHFFFFFFFFFFFFFFFFFFFFSKFFFF",
                   "FSSSSSSSSSSSSSSSSSSSSSSKFFFF",
                   "KKKKKKKKKKKKKKKKKKKKKKKKFFFF",
               });
  // The far end of the track.
  ExpectPixels(image, {209, cy - 2},
               {
                   "FFFFFFFF",
                   "SSSSSSSF",
                   "KKKKKKHF",
                   "HHHHHHHF",
                   "FFFFFFFF",
               });
  // The caption "Position: 0" sits above the button row, centred.
  int textLeft = 217;
  int textRight = -1;
  for (int y = 0; y < cy - 6; ++y) {
    for (int x = 0; x < 217; ++x) {
      if (image.pixelColor(x, y) != kFace) {
        textLeft = std::min(textLeft, x);
        textRight = std::max(textRight, x);
      }
    }
  }
  ASSERT_LE(textLeft, textRight) << "no caption drawn";
  const int width = QFontMetrics(bar.font()).horizontalAdvance("Position: 0");
  EXPECT_NEAR(textLeft, 108 - width / 2, 2);
  EXPECT_NEAR(textRight, 108 - width / 2 + width, 3);
}

TEST_F(NiceScrollBarTest, FocusRectangleDotsTheActiveButton) {
  bar.resize(217, 28);
  bar.SetLabelVisible(false);  // button 0 at 0, 8
  UseKnownColours(bar);
  bar.show();
  bar.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&bar));
  bar.setFocus();
  ASSERT_TRUE(bar.hasFocus());
  auto dotsOnTopEdge = [this] {
    // The rectangle's top edge runs along row 10 from column 2 to 21, on
    // the button face; every other pixel is inverted.
    const QImage image = bar.grab().toImage();
    int dots = 0;
    for (int x = 2; x <= 21; ++x) dots += image.pixelColor(x, 10) == QColor(55, 55, 55);
    return dots;
  };
  EXPECT_EQ(dotsOnTopEdge(), 10);
  bar.clearFocus();
  EXPECT_EQ(dotsOnTopEdge(), 0);
  bar.hide();
}

TEST_F(NiceScrollBarTest, CaptionEmbossedWhenDisabledAndAbsentOnVerticalBars) {
  bar.resize(217, 28);
  UseKnownColours(bar);
  auto coloursAboveButtons = [this] {
    const QImage image = bar.grab().toImage();
    std::set<QRgb> colours;
    for (int y = 0; y < CaptionedLineY(bar) - 6; ++y) {
      for (int x = 0; x < image.width(); ++x) colours.insert(image.pixel(x, y));
    }
    return colours;
  };
  EXPECT_TRUE(coloursAboveButtons().count(kText.rgb()));
  bar.SetEnabled(false);
  const std::set<QRgb> disabled = coloursAboveButtons();
  EXPECT_FALSE(disabled.count(kText.rgb()));
  EXPECT_TRUE(disabled.count(kShadow.rgb()));
  EXPECT_TRUE(disabled.count(kHighlight.rgb()));

  bar.SetEnabled(true);
  bar.SetKind(sbVertical);
  bar.resize(28, 200);
  EXPECT_FALSE(bar.LabelVisible());
  const QImage image = bar.grab().toImage();
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      ASSERT_NE(image.pixelColor(x, y), kText) << "caption pixel at " << x << ", " << y;
    }
  }
}

TEST_F(NiceScrollBarTest, RangeButtonsShowArrowsIntoTheRange) {
  bar.resize(217, 28);
  bar.SetLabelVisible(false);
  UseKnownColours(bar);
  bar.SetScrollMode(smMinMax);
  bar.SetPosition2(100);  // button 1 at 201, button 0 at 0; rows 8 .. 19
  const QImage image = bar.grab().toImage();
  // Arrows at (corner x + 4, corner y + 2): the right arrow's base is its
  // column 2, the left arrow's its column 5; white shows the face.
  EXPECT_EQ(image.pixelColor(0 + 4 + 2, 8 + 2 + 0), Qt::black);
  EXPECT_EQ(image.pixelColor(0 + 4 + 5, 8 + 2 + 3), Qt::black);
  EXPECT_EQ(image.pixelColor(0 + 4 + 5, 8 + 2 + 0), kFace);
  EXPECT_EQ(image.pixelColor(201 + 4 + 5, 8 + 2 + 0), Qt::black);
  EXPECT_EQ(image.pixelColor(201 + 4 + 2, 8 + 2 + 3), Qt::black);
  EXPECT_EQ(image.pixelColor(201 + 4 + 2, 8 + 2 + 0), kFace);
}

TEST_F(NiceScrollBarTest, RainbowRunsFromRedToRed) {
  const QImage& rainbow = TNiceScrollBar::RainbowBitmap();
  ASSERT_EQ(rainbow.size(), QSize(200, 1));
  EXPECT_EQ(rainbow.pixelColor(0, 0), QColor(255, 0, 0));
  EXPECT_EQ(rainbow.pixelColor(199, 0), QColor(255, 0, 0));
  EXPECT_EQ(rainbow.pixelColor(66, 0).blue(), 255) << "blue a third of the way";
}

}  // namespace
