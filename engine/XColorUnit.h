#pragma once
// Integer colour model: 24-bit colours (0x00BBGGRR, red in the low byte) and a
// hue-saturation-brightness model whose 16-bit hue goes once around the colour
// circle. Saturation and brightness are full at 65280 (255 * 256). Every
// result is defined bit for bit by integer operations.

#include <cstdint>

using TColor = uint32_t;

struct THSB {
  uint16_t Hue = 0;
  uint16_t Saturation = 0;
  uint16_t Brightness = 0;
  friend bool operator==(const THSB&, const THSB&) = default;
};

constexpr TColor MakeColor(uint8_t r, uint8_t g, uint8_t b) {
  return static_cast<TColor>(r) + static_cast<TColor>(g) * 256 + static_cast<TColor>(b) * 65536;
}
constexpr uint8_t RedOf(TColor c) {
  return static_cast<uint8_t>(c & 0xFF);
}
constexpr uint8_t GreenOf(TColor c) {
  return static_cast<uint8_t>((c >> 8) & 0xFF);
}
constexpr uint8_t BlueOf(TColor c) {
  return static_cast<uint8_t>((c >> 16) & 0xFF);
}

// The pure colour of a hue: 0 red, 21845 green, 43691 blue.
TColor HueToColor(uint16_t hue);
// Divides by 65280; saturations and brightnesses above 65280 act as 65280.
TColor HSBToColor(uint16_t hue, uint16_t saturation, uint16_t brightness);
// As HSBToColor with shifts by 16 instead: slightly darker, cheaper.
TColor HSBToColorShift(uint16_t hue, uint16_t saturation, uint16_t brightness);
// Hue, saturation and brightness of a colour; the top byte is ignored.
THSB ColorToHSB(TColor color);
