#include "controls/XNiceScrollBarComp.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QCursor>
#include <QFocusEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <array>
#include <cstdlib>
#include <limits>

#include "controls/XNiceScrollBarCaption.h"
#include "resources/LettranceResources.h"

namespace {

enum MenuTag { kReset = 0, kMinimum = 1, kMaximum = 2 };

// The arrows on the two buttons of a range, loaded once for all bars.
enum Arrow { kRight = 0, kLeft = 1, kUp = 2, kDown = 3 };

const QImage& ArrowBitmap(Arrow arrow) {
  static const std::array<QImage, 4> arrows = [] {
    std::array<QImage, 4> loaded;
    const char* names[] = {"X8X8RIGHT", "X8X8LEFT", "X8X8UP", "X8X8DOWN"};
    for (size_t i = 0; i < loaded.size(); ++i) {
      loaded[i] = resources::LoadBitmap(names[i]).convertToFormat(QImage::Format_RGB32);
    }
    return loaded;
  }();
  return arrows[arrow];
}

int32_t Saturate(int64_t value) {
  return static_cast<int32_t>(std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(),
                                                  std::numeric_limits<int32_t>::max()));
}

// Draws like a classic canvas pen: a line from A to B covers A but not B.
// Only level and upright lines are needed; they are drawn as exact fills.
class Pen {
 public:
  explicit Pen(QPainter& painter) : FPainter(painter) {}

  void MoveTo(int x, int y) { FAt = {x, y}; }

  void LineTo(int x, int y, const QColor& colour) {
    if (y == FAt.y() && x != FAt.x()) {
      const int from = x > FAt.x() ? FAt.x() : x + 1;
      const int to = x > FAt.x() ? x - 1 : FAt.x();
      FPainter.fillRect(QRect(QPoint(from, y), QPoint(to, y)), colour);
    } else if (x == FAt.x() && y != FAt.y()) {
      const int from = y > FAt.y() ? FAt.y() : y + 1;
      const int to = y > FAt.y() ? y - 1 : FAt.y();
      FPainter.fillRect(QRect(QPoint(x, from), QPoint(x, to)), colour);
    }
    FAt = {x, y};
  }

  void Line(int x0, int y0, int x1, int y1, const QColor& colour) {
    MoveTo(x0, y0);
    LineTo(x1, y1, colour);
  }

 private:
  QPainter& FPainter;
  QPoint FAt;
};

// Each channel of the picture ANDed with the brush: white turns into the
// brush colour and black stays black.
void MergeCopy(QImage& target, const QImage& source, QPoint at, QColor brush) {
  const QRgb mask = brush.rgb();
  for (int y = 0; y < source.height(); ++y) {
    for (int x = 0; x < source.width(); ++x) {
      const QPoint p = at + QPoint(x, y);
      if (!target.rect().contains(p)) continue;
      target.setPixel(p, (source.pixel(x, y) & mask) | 0xff000000u);
    }
  }
}

// A dotted rectangle that inverts every other pixel of its border, so it
// shows on every background and drawing it twice removes it.
void DrawFocusRect(QImage& target, const QRect& rect) {
  if (rect.width() <= 0 || rect.height() <= 0) return;
  auto invert = [&target](int x, int y) {
    if ((x + y) % 2 != 0 || !target.rect().contains(x, y)) return;
    target.setPixel(x, y, target.pixel(x, y) ^ 0x00ffffffu);
  };
  for (int x = rect.left(); x <= rect.right(); ++x) {
    invert(x, rect.top());
    if (rect.bottom() != rect.top()) invert(x, rect.bottom());
  }
  for (int y = rect.top() + 1; y < rect.bottom(); ++y) {
    invert(rect.left(), y);
    if (rect.right() != rect.left()) invert(rect.right(), y);
  }
}

}  // namespace

TNiceScrollBar::TNiceScrollBar(QWidget* parent) : QWidget(parent), FMenu(new QMenu(this)) {
  // The bar takes the focus itself when a click acts on it, not on every
  // click, so that a click on a disabled bar leaves the focus where it is.
  setFocusPolicy(Qt::TabFocus);
  setAttribute(Qt::WA_OpaquePaintEvent);
  resize(120, 32);
  const struct {
    MenuTag tag;
    const char* caption;
  } items[] = {{kReset, "Reset"}, {kMinimum, "Minimum"}, {kMaximum, "Maximum"}};
  for (const auto& item : items) {
    QAction* action = FMenu->addAction(QString::fromLatin1(item.caption));
    action->setData(static_cast<int>(item.tag));
  }
  connect(FMenu, &QMenu::triggered, this, &TNiceScrollBar::MenuItemClick);
}

TNiceScrollBar::~TNiceScrollBar() = default;

const QImage& TNiceScrollBar::RainbowBitmap() {
  static const QImage rainbow = resources::LoadBitmap("XRAINBOW");
  return rainbow;
}

TNiceScrollBarGeometry TNiceScrollBar::Geometry() const {
  TNiceScrollBarGeometry geometry;
  geometry.Kind = FKind;
  geometry.Button = FButton;
  geometry.ScrollMode = FScrollMode;
  geometry.Width = width();
  geometry.Height = height();
  geometry.Min = FMin;
  geometry.Max = FMax;
  geometry.SmallChange = FSmallChange;
  geometry.LabelShown = LabelVisible();
  geometry.TextHeight = QFontMetrics(font()).height();
  return geometry;
}

// --- Properties ------------------------------------------------------------

void TNiceScrollBar::SetMin(int32_t value) {
  if (value == FMin) return;
  FMin = std::min(value, FMax);
  FPosition = std::max(FPosition, FMin);
  FPosition2 = std::max(FPosition2, FMin);
  FDefaultPos = std::max(FDefaultPos, FMin);
  FDefaultPos2 = std::max(FDefaultPos2, FMin);
  update();
}

void TNiceScrollBar::SetMax(int32_t value) {
  if (value == FMax) return;
  FMax = std::max(value, FMin);
  FPosition = std::min(FPosition, FMax);
  FPosition2 = std::min(FPosition2, FMax);
  FDefaultPos = std::min(FDefaultPos, FMax);
  FDefaultPos2 = std::min(FDefaultPos2, FMax);
  update();
}

void TNiceScrollBar::SetPosition(int32_t value) {
  if (value == FPosition) return;
  ChangePosition(0, value);
  if (FDefaultMode == dmAuto) SetDefaultPos(FPosition);
}

void TNiceScrollBar::SetPosition2(int32_t value) {
  if (value == FPosition2) return;
  ChangePosition(1, value);
  if (FDefaultMode == dmAuto) SetDefaultPos2(FPosition2);
}

void TNiceScrollBar::SetDefaultPos(int32_t value) {
  if (value == FDefaultPos) return;
  FDefaultPos = std::clamp(value, FMin, FMax);
  FDefaultPos2 = std::max(FDefaultPos2, FDefaultPos);
}

void TNiceScrollBar::SetDefaultPos2(int32_t value) {
  if (value == FDefaultPos2) return;
  FDefaultPos2 = std::clamp(value, FMin, FMax);
  FDefaultPos = std::min(FDefaultPos, FDefaultPos2);
}

void TNiceScrollBar::SetScrollMode(TScrollModes mode) {
  if (mode == FScrollMode) return;
  FScrollMode = mode;
  // Only a range has a second button for the keys to act on.
  if (mode == smNormal) FActiveButton = 0;
  update();
}

void TNiceScrollBar::SetKind(TScrollBarKind kind) {
  if (kind == FKind) return;
  FKind = kind;
  update();
}

void TNiceScrollBar::SetButton(TScrollBarKind button) {
  if (button == FButton) return;
  FButton = button;
  update();
}

void TNiceScrollBar::SetEnabled(bool enabled) {
  if (enabled == FEnabled) return;
  FEnabled = enabled;
  FHold = false;
  update();
}

void TNiceScrollBar::SetLabelCaption(const QString& caption) {
  if (caption == FLabelCaption) return;
  FLabelCaption = caption;
  update();
}

void TNiceScrollBar::SetLabelVisible(bool visible) {
  if (visible == FLabelVisible) return;
  FLabelVisible = visible;
  update();
}

void TNiceScrollBar::SetSmallChange(int32_t value) {
  if (value == FSmallChange) return;
  const int64_t range = int64_t{FMax} - FMin;
  FSmallChange = Saturate(std::min<int64_t>(std::max(value, int32_t{1}), range));
  update();
}

void TNiceScrollBar::SetLineBitmap(const QImage& bitmap) {
  FLineBitmap = bitmap;
  update();
}

bool TNiceScrollBar::TabStop() const {
  return focusPolicy() != Qt::NoFocus;
}

void TNiceScrollBar::SetTabStop(bool tabStop) {
  setFocusPolicy(tabStop ? Qt::TabFocus : Qt::NoFocus);
}

void TNiceScrollBar::ChangePosition(int button, int32_t value) {
  if (value == ValueOf(button)) return;
  const TNiceScrollBarGeometry geometry = Geometry();
  const QPoint before = geometry.ButtonOrigin(button, ValueOf(button));
  if (button == 0) {
    if (FScrollMode == smMinMax) {
      FPosition = std::max(FMin, std::min(value, FPosition2));
    } else {
      FPosition = std::clamp(value, FMin, FMax);
      FPosition2 = std::max(FPosition2, FPosition);
    }
  } else {
    FPosition2 = std::min(FMax, std::max(value, FPosition));
  }
  // A shown caption carries the number, so it needs a repaint even when the
  // button does not move by a pixel.
  if (LabelVisible() || geometry.ButtonOrigin(button, ValueOf(button)) != before) update();
}

void TNiceScrollBar::Fire(TScrollCode code, bool changed) {
  if (OnScroll) OnScroll(code, FPosition);
  if (changed && OnChange) OnChange();
}

// --- Mouse -----------------------------------------------------------------

void TNiceScrollBar::mousePressEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  if (event->button() == Qt::LeftButton) {
    if (FEnabled) LeftButtonDown(at);
  } else if (event->button() == Qt::RightButton) {
    ShowMenu(event->globalPosition().toPoint());
  }
  event->accept();
}

void TNiceScrollBar::LeftButtonDown(QPoint at) {
  const TNiceScrollBarGeometry geometry = Geometry();
  const QSize button = geometry.ButtonSize();
  const QPoint halfButton(button.width() / 2, button.height() / 2);
  FActiveButton = 0;
  if (FScrollMode == smMinMax) {
    // The nearer button, by the sum of the distances along both axes; a tie
    // picks button 0.
    auto distance = [&](int index) {
      const QPoint d = at - (geometry.ButtonOrigin(index, ValueOf(index)) + halfButton);
      return std::abs(int64_t{d.x()}) + std::abs(int64_t{d.y()});
    };
    if (distance(1) < distance(0)) FActiveButton = 1;
  }
  QPoint origin = geometry.ButtonOrigin(FActiveButton, ValueOf(FActiveButton));
  FStartPosition = ValueOf(FActiveButton);
  setFocus(Qt::MouseFocusReason);
  FHold = true;
  if (!QRect(origin, button).contains(at)) {
    // A click beside the button centres the button on the mouse.
    const int32_t value =
        geometry.PositionFromButton(FActiveButton, at - halfButton, FPosition, FPosition2);
    if (value != ValueOf(FActiveButton)) {
      ChangePosition(FActiveButton, value);
      update();
      Fire(scTrack, true);
      origin = geometry.ButtonOrigin(FActiveButton, ValueOf(FActiveButton));
    }
  }
  FGrabOffset = at - origin;
}

void TNiceScrollBar::mouseMoveEvent(QMouseEvent* event) {
  event->accept();
  if (!FHold) return;
  const QPoint corner = event->position().toPoint() - FGrabOffset;
  const int32_t value = Geometry().PositionFromButton(FActiveButton, corner, FPosition, FPosition2);
  if (value == ValueOf(FActiveButton)) return;
  ChangePosition(FActiveButton, value);
  update();
  Fire(scTrack, true);
}

void TNiceScrollBar::mouseReleaseEvent(QMouseEvent* event) {
  event->accept();
  if (event->button() != Qt::LeftButton || !FHold) return;
  FHold = false;
  if (ValueOf(FActiveButton) != FStartPosition) Fire(scEndScroll, false);
}

// --- Keys ------------------------------------------------------------------

void TNiceScrollBar::keyPressEvent(QKeyEvent* event) {
  const bool horizontal = FKind == sbHorizontal;
  int direction = 0;
  switch (event->key()) {
    case Qt::Key_Left:
      if (horizontal) direction = -1;
      break;
    case Qt::Key_Right:
      if (horizontal) direction = 1;
      break;
    case Qt::Key_Up:
      if (!horizontal) direction = 1;
      break;
    case Qt::Key_Down:
      if (!horizontal) direction = -1;
      break;
    case Qt::Key_Space:
      if (FScrollMode == smMinMax && event->modifiers() == Qt::NoModifier) {
        FActiveButton = 1 - FActiveButton;
        update();
        event->accept();
        return;
      }
      break;
    default:
      break;
  }
  if (direction == 0) {
    // Left to the dialog: the arrows across the bar, paging keys, ...
    QWidget::keyPressEvent(event);
    return;
  }
  event->accept();
  StepActiveValue(direction);
}

void TNiceScrollBar::StepActiveValue(int direction) {
  const int32_t before = ValueOf(FActiveButton);
  ChangePosition(FActiveButton, Saturate(int64_t{before} + int64_t{direction} * FSmallChange));
  if (ValueOf(FActiveButton) == before) return;
  Fire(direction < 0 ? scLineUp : scLineDown, true);
}

void TNiceScrollBar::focusInEvent(QFocusEvent* event) {
  update();
  QWidget::focusInEvent(event);
}

void TNiceScrollBar::focusOutEvent(QFocusEvent* event) {
  update();
  QWidget::focusOutEvent(event);
}

// --- Menu ------------------------------------------------------------------

void TNiceScrollBar::contextMenuEvent(QContextMenuEvent* event) {
  // The right button opens the menu as it goes down; the menu key of the
  // keyboard opens it at the bar.
  if (event->reason() == QContextMenuEvent::Keyboard) {
    ShowMenu(mapToGlobal(QPoint(width() / 2, height() / 2)));
  }
  event->accept();
}

void TNiceScrollBar::ShowMenu(QPoint globalAt) {
  PrepareMenu();
  FMenu->popup(globalAt);
}

void TNiceScrollBar::PrepareMenu() {
  const QList<QAction*> items = FMenu->actions();
  const bool minMax = FScrollMode == smMinMax;
  const bool atDefault = FPosition == FDefaultPos && (!minMax || FPosition2 == FDefaultPos2);
  const bool atMin = FPosition == FMin && (!minMax || FPosition2 == FMin);
  const bool atMax = FPosition == FMax && (!minMax || FPosition2 == FMax);
  items[kReset]->setVisible(FDefaultMode != dmDisabled);
  items[kReset]->setEnabled(!atDefault);
  items[kMinimum]->setEnabled(!atMin);
  items[kMaximum]->setEnabled(!atMax);
}

void TNiceScrollBar::MenuItemClick(QAction* item) {
  const bool minMax = FScrollMode == smMinMax;
  switch (item->data().toInt()) {
    case kReset: {
      if (FDefaultMode == dmDisabled) return;
      const int32_t before = FPosition;
      const int32_t before2 = FPosition2;
      ChangePosition(0, FDefaultPos);
      if (minMax) {
        ChangePosition(1, FDefaultPos2);
        // The first step may have been capped by the old upper value.
        ChangePosition(0, FDefaultPos);
      }
      if (FPosition != before || FPosition2 != before2) Fire(scPosition, true);
      return;
    }
    case kMinimum:
      if (FPosition == FMin && (!minMax || FPosition2 == FMin)) return;
      ChangePosition(0, FMin);
      if (minMax) ChangePosition(1, FMin);
      Fire(scPosition, true);
      return;
    case kMaximum:
      if (FPosition == FMax) return;
      if (minMax) ChangePosition(1, FMax);
      ChangePosition(0, FMax);
      Fire(scPosition, true);
      return;
    default:
      return;
  }
}

// --- Painting --------------------------------------------------------------

void TNiceScrollBar::paintEvent(QPaintEvent*) {
  // Built off-screen and copied in one step, so the bar never flickers.
  const QImage image = Render();
  if (image.isNull()) return;
  QPainter painter(this);
  painter.drawImage(0, 0, image);
}

QImage TNiceScrollBar::Render() const {
  if (width() <= 0 || height() <= 0) return {};
  QImage image(size(), QImage::Format_RGB32);
  const TNiceScrollBarGeometry geometry = Geometry();
  {
    QPainter painter(&image);
    painter.fillRect(image.rect(), palette().color(QPalette::Button));
    if (geometry.LabelShown) DrawCaption(painter, geometry);
    DrawTrack(painter, geometry);
  }
  const int buttons = FScrollMode == smMinMax ? 2 : 1;
  for (int i = 0; i < buttons; ++i) {
    DrawButton(image, geometry, i);
    if (hasFocus() && i == FActiveButton) {
      const QPoint origin = geometry.ButtonOrigin(i, ValueOf(i));
      const QSize button = geometry.ButtonSize();
      DrawFocusRect(image, QRect(origin + QPoint(2, 2), button - QSize(4, 4)));
    }
  }
  return image;
}

void TNiceScrollBar::DrawCaption(QPainter& painter, const TNiceScrollBarGeometry& geometry) const {
  const QString text = ExpandLabelCaption(FLabelCaption, FPosition, FPosition2, locale());
  const QFontMetrics metrics(font());
  const QPoint origin = geometry.LabelOrigin();
  const QPoint at(origin.x() - metrics.horizontalAdvance(text) / 2, origin.y() + metrics.ascent());
  painter.setFont(font());
  if (FEnabled) {
    painter.setPen(palette().color(QPalette::WindowText));
  } else {
    painter.setPen(palette().color(QPalette::Light));
    painter.drawText(at + QPoint(1, 1), text);
    painter.setPen(palette().color(QPalette::Dark));
  }
  painter.drawText(at, text);
}

void TNiceScrollBar::DrawTrack(QPainter& painter, const TNiceScrollBarGeometry& geometry) const {
  const QColor shadow = palette().color(QPalette::Dark);
  const QColor highlight = palette().color(QPalette::Light);
  const int w = geometry.Width;
  const int h = geometry.Height;
  const QPoint c = geometry.LineCenter();
  const bool picture = !FLineBitmap.isNull();
  const int t = picture ? 2 : 1;
  Pen pen(painter);
  if (FKind == sbHorizontal) {
    pen.MoveTo(w - 2, c.y() - 1);
    pen.LineTo(1, c.y() - 1, shadow);
    pen.LineTo(1, c.y() + t, shadow);
    pen.LineTo(w - 2, c.y() + t, highlight);
    pen.LineTo(w - 2, c.y() - 1, highlight);
    if (picture) {
      painter.drawImage(QRect(QPoint(2, c.y()), QPoint(w - 3, c.y() + 1)), FLineBitmap);
    } else {
      pen.Line(2, c.y(), w - 2, c.y(), Qt::black);
    }
  } else {
    pen.MoveTo(c.x() - 1, h - 2);
    pen.LineTo(c.x() - 1, 1, shadow);
    pen.LineTo(c.x() + t, 1, shadow);
    pen.LineTo(c.x() + t, h - 2, highlight);
    pen.LineTo(c.x() - 1, h - 2, highlight);
    if (picture) {
      painter.drawImage(QRect(QPoint(c.x(), 2), QPoint(c.x() + t - 1, h - 3)), FLineBitmap);
    } else {
      pen.Line(c.x(), 2, c.x(), h - 2, Qt::black);
    }
  }
}

void TNiceScrollBar::DrawButton(QImage& image, const TNiceScrollBarGeometry& geometry,
                                int button) const {
  const QColor face = palette().color(QPalette::Button);
  const QColor shadow = palette().color(QPalette::Dark);
  const QColor highlight = palette().color(QPalette::Light);
  const QPoint origin = geometry.ButtonOrigin(button, ValueOf(button));
  const int x = origin.x();
  const int y = origin.y();
  const int bw = geometry.ButtonSize().width();
  const int bh = geometry.ButtonSize().height();
  QPainter painter(&image);
  Pen pen(painter);
  painter.fillRect(QRect(x, y, bw, bh), face);
  pen.MoveTo(x, y + bh - 1);
  pen.LineTo(x + bw - 1, y + bh - 1, Qt::black);
  pen.LineTo(x + bw - 1, y, Qt::black);
  pen.MoveTo(x + 1, y + bh - 2);
  pen.LineTo(x + bw - 2, y + bh - 2, shadow);
  pen.LineTo(x + bw - 2, y + 1, shadow);
  pen.LineTo(x + 1, y + 1, highlight);
  pen.LineTo(x + 1, y + bh - 2, highlight);
  if (FScrollMode == smMinMax) {
    // The arrows point into the chosen range.
    const Arrow arrow =
        FKind == sbHorizontal ? (button == 0 ? kRight : kLeft) : (button == 0 ? kUp : kDown);
    painter.end();
    MergeCopy(image, ArrowBitmap(arrow), QPoint(x + (bw - 8) / 2, y + (bh - 8) / 2), face);
    return;
  }
  for (int k = 0; k < 5; ++k) {
    if (FButton == sbHorizontal) {
      pen.Line(x + 5 + 3 * k, y + 3, x + 5 + 3 * k, y + bh - 3, shadow);
      pen.Line(x + 6 + 3 * k, y + 3, x + 6 + 3 * k, y + bh - 3, highlight);
    } else {
      pen.Line(x + 3, y + 5 + 3 * k, x + bw - 3, y + 5 + 3 * k, shadow);
      pen.Line(x + 3, y + 6 + 3 * k, x + bw - 3, y + 6 + 3 * k, highlight);
    }
  }
}
