#pragma once
// The colours of the colour dialog's 256 x 256 field and 24 x 256 strip for
// the current colour and channel mode, and their painting into 32-bit rows.

#include <functional>

#include "controls/ColorBoxModel.h"
#include "controls/PixelRows32.h"

inline constexpr int kFieldSize = 256;
inline constexpr int kStripWidth = 24;

// A rectangle of the field, right and bottom exclusive.
struct TFieldRect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;

  static constexpr TFieldRect WholeField() { return {0, 0, kFieldSize, kFieldSize}; }
  // The 16 x 16 square that a marker centred on (x, y) covers.
  static constexpr TFieldRect AroundMarker(int x, int y) { return {x - 8, y - 8, x + 8, y + 8}; }
  // The part that lies inside the field.
  TFieldRect ClampedToField() const;
  bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
  friend bool operator==(const TFieldRect&, const TFieldRect&) = default;
};

// Strip row z (0 at the top): the strip channel at 255 - z, the others as
// they are; the hue strip shows pure hues, red at the top.
TColor StripRowColor(const TColorBoxColor& color, int mode, int z);

// Field pixel (x, y) computed on its own: across channel x, down channel
// 255 - y, strip channel as it is.
TColor FieldPixelColor(const TColorBoxColor& color, int mode, int x, int y);

// The colours at the top (down channel full) and the bottom (down channel 0)
// of field column x.
struct TColumnEnds {
  TColor Top;
  TColor Bottom;
};
TColumnEnds FieldColumnEnds(const TColorBoxColor& color, int mode, int x);

// Field row y between the two ends: per byte, top + (bottom - top) * y / 255.
TColor InterpolateColumn(const TColumnEnds& ends, int y);

// Writes the field pixels inside `rect` (clamped to the field) into 256 x 256
// rows, two exact colours per column and the rows between them interpolated.
void RenderField32(const TColorBoxColor& color, int mode, TFieldRect rect,
                   const TPixelRows32& rows);

// Writes every row of the 24 x 256 strip.
void RenderStrip32(const TColorBoxColor& color, int mode, const TPixelRows32& rows);

// For displays of few colours: the 16 x 16 blocks covering `rect` (its corner
// rounded down to multiples of 16), each in the colour of its top-left pixel.
void ForEachFieldBlock(const TColorBoxColor& color, int mode, TFieldRect rect,
                       const std::function<void(int x, int y, TColor color)>& fill);
// The strip in 24 x 8 blocks, each in the colour of its top row.
void ForEachStripBlock(const TColorBoxColor& color, int mode,
                       const std::function<void(int y, TColor color)>& fill);
