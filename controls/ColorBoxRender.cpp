#include "controls/ColorBoxRender.h"

#include <algorithm>

namespace {

const TChannelMode& ModeOf(int mode) {
  return kChannelModes[static_cast<size_t>(mode)];
}

// The colour with the field's two channels set to raw values, the strip
// channel left as it is.
TColor ColorWith(TColorBoxColor color, const TChannelMode& m, uint32_t across, uint32_t down) {
  color.SetChannel(m.Across, across);
  color.SetChannel(m.Down, down);
  if (IsHsbChannel(m.Strip))
    return HSBToColor(color.Hsb.Hue, color.Hsb.Saturation, color.Hsb.Brightness);
  return color.Rgb;
}

uint32_t Raw(TColorChannel channel, int value8) {
  return IsHsbChannel(channel) ? static_cast<uint32_t>(value8) * 256
                               : static_cast<uint32_t>(value8);
}

uint8_t InterpolateByte(int top, int bottom, int y) {
  return static_cast<uint8_t>(top + (bottom - top) * y / 255);
}

}  // namespace

TFieldRect TFieldRect::ClampedToField() const {
  return {std::clamp(Left, 0, kFieldSize), std::clamp(Top, 0, kFieldSize),
          std::clamp(Right, 0, kFieldSize), std::clamp(Bottom, 0, kFieldSize)};
}

TColor StripRowColor(const TColorBoxColor& color, int mode, int z) {
  const TChannelMode& m = ModeOf(mode);
  const int value = 255 - z;
  switch (m.Strip) {
    case chHue:
      return HueToColor(static_cast<uint16_t>((65536 - 256 * z) % 65536));
    case chSaturation:
      return HSBToColor(color.Hsb.Hue, static_cast<uint16_t>(value * 256), color.Hsb.Brightness);
    case chBrightness:
      return HSBToColor(color.Hsb.Hue, color.Hsb.Saturation, static_cast<uint16_t>(value * 256));
    default: {
      TColorBoxColor shown = color;
      shown.SetChannel(m.Strip, static_cast<uint32_t>(value));
      return shown.Rgb;
    }
  }
}

TColor FieldPixelColor(const TColorBoxColor& color, int mode, int x, int y) {
  const TChannelMode& m = ModeOf(mode);
  return ColorWith(color, m, Raw(m.Across, x), Raw(m.Down, 255 - y));
}

TColumnEnds FieldColumnEnds(const TColorBoxColor& color, int mode, int x) {
  const TChannelMode& m = ModeOf(mode);
  const uint32_t across = Raw(m.Across, x);
  return {ColorWith(color, m, across, Raw(m.Down, 255)), ColorWith(color, m, across, 0)};
}

TColor InterpolateColumn(const TColumnEnds& ends, int y) {
  return MakeColor(InterpolateByte(RedOf(ends.Top), RedOf(ends.Bottom), y),
                   InterpolateByte(GreenOf(ends.Top), GreenOf(ends.Bottom), y),
                   InterpolateByte(BlueOf(ends.Top), BlueOf(ends.Bottom), y));
}

void RenderField32(const TColorBoxColor& color, int mode, TFieldRect rect,
                   const TPixelRows32& rows) {
  rect = rect.ClampedToField();
  rect.Right = std::min(rect.Right, rows.Width);
  rect.Bottom = std::min(rect.Bottom, rows.Height);
  for (int x = rect.Left; x < rect.Right; ++x) {
    const TColumnEnds ends = FieldColumnEnds(color, mode, x);
    for (int y = rect.Top; y < rect.Bottom; ++y)
      rows.Row(y)[x] = ToPixel32(InterpolateColumn(ends, y));
  }
}

void RenderStrip32(const TColorBoxColor& color, int mode, const TPixelRows32& rows) {
  const int height = std::min(rows.Height, kFieldSize);
  for (int z = 0; z < height; ++z) {
    const uint32_t pixel = ToPixel32(StripRowColor(color, mode, z));
    std::fill_n(rows.Row(z), rows.Width, pixel);
  }
}

void ForEachFieldBlock(const TColorBoxColor& color, int mode, TFieldRect rect,
                       const std::function<void(int x, int y, TColor color)>& fill) {
  rect = rect.ClampedToField();
  if (rect.IsEmpty()) return;
  for (int y = rect.Top / 16 * 16; y < rect.Bottom; y += 16)
    for (int x = rect.Left / 16 * 16; x < rect.Right; x += 16)
      fill(x, y, FieldPixelColor(color, mode, x, y));
}

void ForEachStripBlock(const TColorBoxColor& color, int mode,
                       const std::function<void(int y, TColor color)>& fill) {
  for (int y = 0; y < kFieldSize; y += 8) fill(y, StripRowColor(color, mode, y));
}
