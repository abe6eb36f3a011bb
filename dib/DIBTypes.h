#pragma once
// The small types of the off-screen bitmap: its three kinds of errors, the
// layout of 16- and 32-bit pixels and the colour table.

#include <array>
#include <cstdint>
#include <stdexcept>

// A bitmap file or clipboard body that cannot be read.
class EInvalidGraphic : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// An operation the bitmap cannot do: a bad bit count or pixel format, a row
// outside the image.
class EInvalidGraphicOperation : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The pixel memory cannot be had.
class EOutOfResources : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// How the red, green and blue channels sit in a 16- or 32-bit pixel. The
// shifts move an 8-bit channel value into place (red and green left, blue
// right); the losses are the bits a channel drops against 8 bits.
struct TPixelLayout {
  uint32_t RedMask = 0;
  uint32_t GreenMask = 0;
  uint32_t BlueMask = 0;
  int32_t RedBits = 0;
  int32_t GreenBits = 0;
  int32_t BlueBits = 0;
  int32_t RedShift = 0;
  int32_t GreenShift = 0;
  int32_t BlueShift = 0;
  int32_t RedLoss = 0;
  int32_t GreenLoss = 0;
  int32_t BlueLoss = 0;

  // Red on top, then green, then blue in the lowest bits.
  static TPixelLayout FromCounts(int32_t red, int32_t green, int32_t blue);
  // Each channel's bit count is the run of one bits from the mask's lowest
  // one bit; the masks are kept as given.
  static TPixelLayout FromMasks(uint32_t red, uint32_t green, uint32_t blue);

  bool SameMasks(const TPixelLayout& other) const {
    return RedMask == other.RedMask && GreenMask == other.GreenMask &&
           BlueMask == other.BlueMask;
  }
  friend bool operator==(const TPixelLayout&, const TPixelLayout&) = default;
};

// 8-8-8 (masks FF0000, FF00, FF): every depth but 16.
extern const TPixelLayout kLayout888;
// The two layouts of 16-bit pixels: 5-5-5 (7C00, 3E0, 1F) and 5-6-5 (F800, 7E0, 1F).
extern const TPixelLayout kLayout555;
extern const TPixelLayout kLayout565;

// One colour of a colour table, in the byte order of the bitmap format.
struct TColorEntry {
  uint8_t Blue = 0;
  uint8_t Green = 0;
  uint8_t Red = 0;
  uint8_t Reserved = 0;
  friend bool operator==(const TColorEntry&, const TColorEntry&) = default;
};

using TColorTable = std::array<TColorEntry, 256>;

// Entry i is grey level i: the table of a new bitmap and of smooth-text masks.
const TColorTable& GreyRampTable();
