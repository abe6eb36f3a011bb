#include "dib/DIBTypes.h"

namespace {

int32_t OneBitsFromLowest(uint32_t mask) {
  if (mask == 0) return 0;
  while ((mask & 1) == 0) mask >>= 1;
  int32_t count = 0;
  while ((mask & 1) != 0) {
    ++count;
    mask >>= 1;
  }
  return count;
}

TPixelLayout WithShifts(TPixelLayout layout) {
  const int32_t r = layout.RedBits, g = layout.GreenBits, b = layout.BlueBits;
  layout.RedShift = r + g + b - 8;
  layout.GreenShift = g + b - 8;
  layout.BlueShift = 8 - b;
  layout.RedLoss = 8 - r;
  layout.GreenLoss = 8 - g;
  layout.BlueLoss = 8 - b;
  return layout;
}

uint32_t LowBits(int32_t count) {
  return count >= 32 ? 0xFFFFFFFFu : (1u << count) - 1;
}

}  // namespace

TPixelLayout TPixelLayout::FromCounts(int32_t red, int32_t green, int32_t blue) {
  TPixelLayout layout;
  layout.RedBits = red;
  layout.GreenBits = green;
  layout.BlueBits = blue;
  layout.RedMask = LowBits(red) << (green + blue);
  layout.GreenMask = LowBits(green) << blue;
  layout.BlueMask = LowBits(blue);
  return WithShifts(layout);
}

TPixelLayout TPixelLayout::FromMasks(uint32_t red, uint32_t green, uint32_t blue) {
  TPixelLayout layout;
  layout.RedMask = red;
  layout.GreenMask = green;
  layout.BlueMask = blue;
  layout.RedBits = OneBitsFromLowest(red);
  layout.GreenBits = OneBitsFromLowest(green);
  layout.BlueBits = OneBitsFromLowest(blue);
  return WithShifts(layout);
}

const TPixelLayout kLayout888 = TPixelLayout::FromCounts(8, 8, 8);
const TPixelLayout kLayout555 = TPixelLayout::FromCounts(5, 5, 5);
const TPixelLayout kLayout565 = TPixelLayout::FromCounts(5, 6, 5);

const TColorTable& GreyRampTable() {
  static const TColorTable table = [] {
    TColorTable ramp;
    for (int i = 0; i < 256; ++i) {
      const auto level = static_cast<uint8_t>(i);
      ramp[i] = TColorEntry{level, level, level, 0};
    }
    return ramp;
  }();
  return table;
}
