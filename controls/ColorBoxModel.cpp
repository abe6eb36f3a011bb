#include "controls/ColorBoxModel.h"

#include <algorithm>

#include "platform/HexDigit.h"

namespace {

uint8_t Byte(uint32_t value) {
  return static_cast<uint8_t>(value & 0xFF);
}

}  // namespace

TColorBoxColor TColorBoxColor::FromRgb(TColor rgb) {
  const TColor masked = rgb & 0xFFFFFF;
  return TColorBoxColor{masked, ColorToHSB(masked)};
}

uint32_t TColorBoxColor::Channel(TColorChannel channel) const {
  switch (channel) {
    case chHue:
      return Hsb.Hue;
    case chSaturation:
      return Hsb.Saturation;
    case chBrightness:
      return Hsb.Brightness;
    case chRed:
      return RedOf(Rgb);
    case chGreen:
      return GreenOf(Rgb);
    case chBlue:
      return BlueOf(Rgb);
  }
  return 0;
}

void TColorBoxColor::SetChannel(TColorChannel channel, uint32_t value) {
  const auto wide = static_cast<uint16_t>(value & 0xFFFF);
  uint8_t r = RedOf(Rgb), g = GreenOf(Rgb), b = BlueOf(Rgb);
  switch (channel) {
    case chHue:
      Hsb.Hue = wide;
      return;
    case chSaturation:
      Hsb.Saturation = wide;
      return;
    case chBrightness:
      Hsb.Brightness = wide;
      return;
    case chRed:
      r = Byte(value);
      break;
    case chGreen:
      g = Byte(value);
      break;
    case chBlue:
      b = Byte(value);
      break;
  }
  Rgb = MakeColor(r, g, b);
}

int TColorBoxColor::Channel8(TColorChannel channel) const {
  const uint32_t value = Channel(channel);
  return static_cast<int>(IsHsbChannel(channel) ? value / 256 : value);
}

void TColorBoxColor::SetChannel8(TColorChannel channel, int value) {
  if (IsHsbChannel(channel)) {
    SetChannel(channel, static_cast<uint32_t>(value) * 256);
    Rgb = HSBToColor(Hsb.Hue, Hsb.Saturation, Hsb.Brightness);
  } else {
    SetChannel(channel, static_cast<uint32_t>(value));
    Hsb = ColorToHSB(Rgb);
  }
}

TColorMarkers MarkersOf(const TColorBoxColor& color, int mode) {
  const TChannelMode& m = kChannelModes[static_cast<size_t>(mode)];
  return {color.Channel8(m.Across), 255 - color.Channel8(m.Down), 255 - color.Channel8(m.Strip)};
}

TColorMarkers PickFieldColor(TColorBoxColor& color, int mode, int x, int y) {
  const TChannelMode& m = kChannelModes[static_cast<size_t>(mode)];
  x = std::clamp(x, 0, 255);
  y = std::clamp(y, 0, 255);
  color.SetChannel8(m.Across, x);
  color.SetChannel8(m.Down, 255 - y);
  return {x, y, 255 - color.Channel8(m.Strip)};
}

TColorMarkers PickStripColor(TColorBoxColor& color, int mode, int y) {
  const TChannelMode& m = kChannelModes[static_cast<size_t>(mode)];
  const int z = std::clamp(y, 0, 255);
  color.SetChannel8(m.Strip, 255 - z);
  return {color.Channel8(m.Across), 255 - color.Channel8(m.Down), z};
}

int64_t RoundHalfEven(int64_t n, int64_t d) {
  const int64_t q = n / d;
  const int64_t twice = 2 * (n % d);
  if (twice > d) return q + 1;
  if (twice == d) return q + (q & 1);
  return q;
}

std::array<int32_t, 6> EditValuesOf(const TColorBoxColor& color) {
  const auto scaled = [](uint32_t value, int64_t full) {
    return static_cast<int32_t>(RoundHalfEven(int64_t{value} * full, 65280));
  };
  return {scaled(color.Hsb.Hue, 359),
          scaled(color.Hsb.Saturation, 100),
          scaled(color.Hsb.Brightness, 100),
          RedOf(color.Rgb),
          GreenOf(color.Rgb),
          BlueOf(color.Rgb)};
}

TColorBoxColor CommitHsbEdits(int32_t hue, int32_t saturation, int32_t brightness) {
  const auto scaled = [](int32_t value, int64_t full, int64_t range) {
    return static_cast<uint16_t>(RoundHalfEven(int64_t{value} * full, range));
  };
  TColorBoxColor color;
  color.Hsb = {scaled(hue, 65535, 360), scaled(saturation, 65280, 100),
               scaled(brightness, 65280, 100)};
  color.Rgb = HSBToColor(color.Hsb.Hue, color.Hsb.Saturation, color.Hsb.Brightness);
  return color;
}

TColorBoxColor CommitRgbEdits(int32_t red, int32_t green, int32_t blue) {
  return TColorBoxColor::FromRgb(MakeColor(Byte(static_cast<uint32_t>(red)),
                                           Byte(static_cast<uint32_t>(green)),
                                           Byte(static_cast<uint32_t>(blue))));
}

std::string HtmlCodeOf(TColor color) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  const uint32_t code =
      uint32_t{RedOf(color)} << 16 | uint32_t{GreenOf(color)} << 8 | BlueOf(color);
  std::string text(6, '0');
  for (int i = 0; i < 6; ++i) text[static_cast<size_t>(5 - i)] = kDigits[(code >> (4 * i)) & 0xF];
  return text;
}

std::optional<TColor> ParseHtmlCode(std::string_view text) {
  if (text.size() != 6) return std::nullopt;
  uint32_t code = 0;
  for (char c : text) {
    const int digit = platform::HexDigit(c);
    if (digit < 0) return std::nullopt;
    code = code * 16 + static_cast<uint32_t>(digit);
  }
  return MakeColor(Byte(code >> 16), Byte(code >> 8), Byte(code));
}
