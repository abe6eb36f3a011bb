#include "controls/XNiceScrollBarGeometry.h"

#include <algorithm>

namespace {

// Mouse positions far outside any screen are cut down to this, so that their
// products with a full 32-bit range still fit into 64 bits.
constexpr int64_t kFarAway = int64_t{1} << 24;

int64_t Near(int64_t coordinate) {
  return std::clamp(coordinate, -kFarAway, kFarAway);
}

}  // namespace

QSize TNiceScrollBarGeometry::ButtonSize() const {
  const int wide = ScrollMode == smMinMax ? 16 : 24;
  return Button == sbHorizontal ? QSize(wide, 12) : QSize(12, wide);
}

QPoint TNiceScrollBarGeometry::LineCenter() const {
  const QSize button = ButtonSize();
  const int bh = button.height();
  if (Kind == sbHorizontal && LabelShown) {
    // Caption and button row together are centred vertically.
    return {Width / 2, TextHeight + (Height - bh - TextHeight) / 2 + bh / 2};
  }
  return {Width / 2, Height / 2};
}

int TNiceScrollBarGeometry::TrackLength() const {
  const QSize button = ButtonSize();
  const int buttons = ScrollMode == smMinMax ? 2 : 1;
  return Kind == sbHorizontal ? Width - buttons * button.width()
                              : Height - buttons * button.height();
}

QPoint TNiceScrollBarGeometry::ButtonOrigin(int index, int32_t value) const {
  const QSize button = ButtonSize();
  const int bw = button.width();
  const int bh = button.height();
  const QPoint center = LineCenter();
  const bool minMax = ScrollMode == smMinMax;
  // A bar too small for its buttons keeps them at the start of the track.
  const int64_t length = std::max(TrackLength(), 0);
  const int64_t range = int64_t{Max} - Min;
  int64_t along = 0;
  if (Kind == sbHorizontal) {
    if (range != 0) {
      along = (int64_t{value} - Min) * length / range + (minMax ? index * bw : 0);
    }
    return {static_cast<int>(Near(along)), center.y() - bh / 2};
  }
  if (range != 0) {
    along = (int64_t{Max} - value) * length / range + (minMax ? (1 - index) * bh : 0);
  }
  return {center.x() - bw / 2, static_cast<int>(Near(along))};
}

QPoint TNiceScrollBarGeometry::LabelOrigin() const {
  const QPoint center = LineCenter();
  return {center.x(), center.y() - ButtonSize().height() / 2 - TextHeight};
}

int32_t TNiceScrollBarGeometry::PositionFromButton(int index, QPoint corner, int32_t position,
                                                   int32_t position2) const {
  const int32_t current = index == 0 ? position : position2;
  if (Min == Max) return Min;
  const int64_t length = TrackLength();
  if (length <= 0) return current;
  const QSize button = ButtonSize();
  const bool minMax = ScrollMode == smMinMax;
  const int64_t range = int64_t{Max} - Min;
  // A step of 0 is left when SmallChange was set while Min = Max.
  const int64_t step = std::max(SmallChange, int32_t{1});
  int64_t offset = 0;
  if (Kind == sbHorizontal) {
    offset = Near(corner.x()) - (minMax ? index * button.width() : 0);
  } else {
    offset = Near(corner.y()) - (minMax ? (1 - index) * button.height() : 0);
  }
  const int64_t steps = (offset * range / step + length / 2) / length;
  const int64_t value = Kind == sbHorizontal ? Min + steps * step : Max - steps * step;
  int64_t low = Min;
  int64_t high = Max;
  if (minMax) {
    if (index == 0) high = position2;
    if (index == 1) low = position;
  }
  return static_cast<int32_t>(std::clamp(value, low, std::max(low, high)));
}
