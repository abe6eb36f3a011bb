#pragma once
// Where the parts of a labelled scroll bar sit, and which value a button
// position stands for. Plain integer arithmetic with no widget behind it, so
// that every rule can be checked to the pixel.

#include <QPoint>
#include <QSize>
#include <cstdint>

// Orientation of a bar's track, and independently the shape of its button.
enum TScrollBarKind { sbHorizontal = 0, sbVertical = 1 };

// One button choosing a value, or two choosing a range.
enum TScrollModes { smNormal = 0, smMinMax = 1 };

struct TNiceScrollBarGeometry {
  TScrollBarKind Kind = sbHorizontal;
  TScrollBarKind Button = sbHorizontal;
  TScrollModes ScrollMode = smNormal;
  int Width = 0;
  int Height = 0;
  int32_t Min = 0;
  int32_t Max = 0;
  int32_t SmallChange = 1;
  // A caption is drawn above the buttons (horizontal bars only).
  bool LabelShown = false;
  // Height of a line of caption text.
  int TextHeight = 0;

  // Width and height of one slider button.
  QSize ButtonSize() const;
  // The point on which the track line is centred.
  QPoint LineCenter() const;
  // Top-left corner of button `index` (0 or 1) when it shows `value`.
  QPoint ButtonOrigin(int index, int32_t value) const;
  // Top centre of the caption.
  QPoint LabelOrigin() const;
  // Pixels a button travels over: along the width of a horizontal bar, the
  // height of a vertical one, less one button (two in min-max mode).
  int TrackLength() const;

  // The value that button `index` takes when its top-left corner is moved to
  // `corner`: snapped to the SmallChange grid (counted from Min on a
  // horizontal bar, from Max on a vertical one) and clamped, button 0 into
  // [Min, position2] and button 1 into [position, Max] in min-max mode, into
  // [Min, Max] in normal mode. On a bar too small for its buttons to move,
  // the button keeps its value.
  int32_t PositionFromButton(int index, QPoint corner, int32_t position, int32_t position2) const;
};
