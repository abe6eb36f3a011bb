#include "engine/XColorUnit.h"

#include <array>

namespace {

// Where each channel sits on the hue circle.
constexpr uint32_t kRedOffset = 21845;
constexpr uint32_t kGreenOffset = 0;
constexpr uint32_t kBlueOffset = 43691;

uint32_t HueChannel(uint16_t hue, uint32_t offset) {
  const uint32_t b = (hue + offset) % 65536;
  if (b < 10923) return (b * 1530) >> 16;            // rising edge
  if (b < 32768) return 255;                         // full
  if (b < 43691) return ((43690 - b) * 1530) >> 16;  // falling edge
  return 0;
}

enum Channel { kRed = 0, kGreen = 1, kBlue = 2 };

constexpr std::array<uint32_t, 3> kBaseHue = {0, 21845, 43691};

}  // namespace

TColor HueToColor(uint16_t hue) {
  return MakeColor(static_cast<uint8_t>(HueChannel(hue, kRedOffset)),
                   static_cast<uint8_t>(HueChannel(hue, kGreenOffset)),
                   static_cast<uint8_t>(HueChannel(hue, kBlueOffset)));
}

TColor HSBToColor(uint16_t hue, uint16_t saturation, uint16_t brightness) {
  const TColor pure = HueToColor(hue);
  // Products stay below 2^24 and 255 * 65535 / 65280 is still 255, so every
  // channel stays within 0..255 for any saturation and brightness.
  const auto channel = [&](uint32_t k) {
    const uint32_t lifted = 255 - ((255 - k) * saturation) / 65280;
    return static_cast<uint8_t>((lifted * brightness) / 65280);
  };
  return MakeColor(channel(RedOf(pure)), channel(GreenOf(pure)), channel(BlueOf(pure)));
}

TColor HSBToColorShift(uint16_t hue, uint16_t saturation, uint16_t brightness) {
  const TColor pure = HueToColor(hue);
  const auto channel = [&](uint32_t k) {
    const uint32_t lifted = 255 - (((255 - k) * saturation) >> 16);
    return static_cast<uint8_t>((lifted * brightness) >> 16);
  };
  return MakeColor(channel(RedOf(pure)), channel(GreenOf(pure)), channel(BlueOf(pure)));
}

THSB ColorToHSB(TColor color) {
  const std::array<int32_t, 3> value = {RedOf(color), GreenOf(color), BlueOf(color)};
  const int32_t r = value[kRed], g = value[kGreen], b = value[kBlue];
  if (r == g && g == b) return THSB{0, 0, static_cast<uint16_t>(r * 256)};

  Channel strongest, weakest;
  if (g <= r && r >= b) {
    strongest = kRed;
    weakest = g > b ? kBlue : kGreen;
  } else if (b <= g) {
    strongest = kGreen;
    weakest = b < r ? kBlue : kRed;
  } else {
    strongest = kBlue;
    weakest = g < r ? kGreen : kRed;
  }
  const auto middle = static_cast<Channel>(3 - strongest - weakest);

  // The strongest channel exceeds the weakest here, so brightness is at least
  // 256 and saturation at least 256: both divisions below are defined.
  const int32_t brightness = value[strongest] * 256;
  const int32_t saturation = (65280 - ((value[weakest] * 65280) / brightness) * 256) % 65536;
  const int32_t delta =
      ((((value[middle] - value[weakest]) * 65280) / brightness) * 65280 / saturation) * 43;
  const bool middleFollows = middle == (strongest + 1) % 3;
  const int32_t base = static_cast<int32_t>(kBaseHue[strongest]);
  const int32_t hue = middleFollows ? base + delta : base - delta;
  return THSB{static_cast<uint16_t>(hue & 0xFFFF), static_cast<uint16_t>(saturation),
              static_cast<uint16_t>(brightness)};
}
