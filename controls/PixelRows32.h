#pragma once
// A view of the rows of a 32-bit off-screen picture whose pixels are written
// directly: blue in the lowest byte, then green, then red. The top byte is
// filler; it is written as 0xFF because Qt reads a 32-bit RGB picture whose
// filler is not 0xFF as partly transparent in some drawing paths.

#include <cstddef>
#include <cstdint>

#include "engine/XColorUnit.h"

struct TPixelRows32 {
  uint8_t* Row0 = nullptr;  // first byte of the top row
  ptrdiff_t RowStep = 0;    // address step from one row to the row below it
  int Width = 0;
  int Height = 0;

  uint32_t* Row(int y) const { return reinterpret_cast<uint32_t*>(Row0 + y * RowStep); }
};

// A colour (red in the low byte) in the picture's own channel order.
constexpr uint32_t ToPixel32(TColor color) {
  return 0xFF000000u | (static_cast<uint32_t>(RedOf(color)) << 16) |
         (static_cast<uint32_t>(GreenOf(color)) << 8) | BlueOf(color);
}

// The colour of a pixel written by ToPixel32.
constexpr TColor FromPixel32(uint32_t pixel) {
  return MakeColor(static_cast<uint8_t>(pixel >> 16), static_cast<uint8_t>(pixel >> 8),
                   static_cast<uint8_t>(pixel));
}
