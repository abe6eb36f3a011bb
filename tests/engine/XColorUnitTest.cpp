#include "engine/XColorUnit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

// Readable failure messages for HSB triples.
void PrintTo(const THSB& h, std::ostream* out) {
  *out << "(" << h.Hue << ", " << h.Saturation << ", " << h.Brightness << ")";
}

namespace {

struct Rgb {
  int R, G, B;
};
Rgb Split(TColor c) {
  return Rgb{RedOf(c), GreenOf(c), BlueOf(c)};
}
bool operator==(const Rgb& a, const Rgb& b) {
  return a.R == b.R && a.G == b.G && a.B == b.B;
}
std::ostream& operator<<(std::ostream& out, const Rgb& c) {
  return out << "(" << c.R << ", " << c.G << ", " << c.B << ")";
}

TEST(ColorTest, MakeColorPutsRedInTheLowByte) {
  EXPECT_EQ(MakeColor(240, 192, 0), 49392u);
  EXPECT_EQ(MakeColor(0, 0, 255), 0xFF0000u);
}

TEST(ColorTest, PureHues) {
  EXPECT_EQ(Split(HueToColor(0)), (Rgb{255, 0, 0}));
  EXPECT_EQ(Split(HueToColor(21845)), (Rgb{0, 255, 0}));
  EXPECT_EQ(Split(HueToColor(43691)), (Rgb{0, 0, 255}));
  EXPECT_EQ(Split(HueToColor(10923)), (Rgb{254, 255, 0}));
  // Green rising: 5504 * 1530 >> 16 = 128; red full; blue at 49195 is 0.
  EXPECT_EQ(Split(HueToColor(5504)), (Rgb{255, 128, 0}));
  // Magenta: red rising at 54613 + 21845 - 65536 = 10922, 10922 * 1530 >> 16 =
  // 254; blue falling at 32768, (43690 - 32768) * 1530 >> 16 = 254.
  EXPECT_EQ(Split(HueToColor(54613)), (Rgb{254, 0, 254}));
}

TEST(ColorTest, WorkedConversions) {
  EXPECT_EQ(ColorToHSB(MakeColor(255, 255, 255)), (THSB{0, 0, 65280}));
  EXPECT_EQ(Split(HSBToColor(0, 0, 65280)), (Rgb{255, 255, 255}));
  EXPECT_EQ(ColorToHSB(MakeColor(255, 128, 0)), (THSB{5504, 65280, 65280}));
  EXPECT_EQ(Split(HSBToColor(5504, 65280, 65280)), (Rgb{255, 128, 0}));
  EXPECT_EQ(ColorToHSB(MakeColor(128, 0, 0)), (THSB{0, 65280, 32768}));
  EXPECT_EQ(Split(HSBToColor(0, 65280, 32768)), (Rgb{128, 0, 0}));
  // The default text colour (240, 192, 0): 192 * 65280 / 61440 = 204, * 43.
  EXPECT_EQ(ColorToHSB(49392), (THSB{8772, 65280, 61440}));
  EXPECT_EQ(Split(HSBToColorShift(0, 65535, 65535)), (Rgb{254, 0, 0}));
}

TEST(ColorTest, ColorToHSBCoversEveryStrongestAndMiddleChannel) {
  // Green strongest, red middle (red does not follow green): hue falls below
  // 21845. delta = ((100 * 65280 / 51200) * 65280 / 65280) * 43 = 127 * 43.
  EXPECT_EQ(ColorToHSB(MakeColor(100, 200, 0)), (THSB{21845 - 5461, 65280, 51200}));
  // Blue strongest, red middle (red follows blue): hue rises above 43691.
  // saturation = 65280 - (50 * 65280 / 51200) * 256 = 65280 - 63 * 256.
  // delta = ((50 * 65280 / 51200) * 65280 / 49152) * 43 = (63 * 65280 / 49152) * 43.
  EXPECT_EQ(ColorToHSB(MakeColor(100, 50, 200)), (THSB{43691 + 83 * 43, 49152, 51200}));
  // Red strongest, blue middle (blue does not follow red): the hue wraps below
  // 0. delta = ((1 * 65280 / 65280) * 65280 / 65280) * 43 = 43.
  EXPECT_EQ(ColorToHSB(MakeColor(255, 0, 1)), (THSB{65536 - 43, 65280, 65280}));
}

TEST(ColorTest, OverFullSaturationAndBrightnessActAsFull) {
  for (int h = 0; h < 65536; ++h) {
    const auto hue = static_cast<uint16_t>(h);
    ASSERT_EQ(HSBToColor(hue, 65535, 65535), HSBToColor(hue, 65280, 65280)) << h;
    ASSERT_EQ(HSBToColor(hue, 65280, 65280), HueToColor(hue)) << h;
  }
}

TEST(ColorTest, HSBToColorStaysInRangeAndGrowsWithBrightness) {
  for (int h = 0; h < 65536; h += 7) {
    const auto hue = static_cast<uint16_t>(h);
    for (uint16_t s : {0, 256, 32768, 65280, 65535}) {
      Rgb previous{0, 0, 0};
      for (int v = 0; v <= 65535; v += 4369) {
        const TColor c = HSBToColor(hue, s, static_cast<uint16_t>(v));
        ASSERT_EQ(c >> 24, 0u);
        const Rgb now = Split(c);
        // No channel exceeds the brightness, and none shrinks as it grows.
        const int ceiling = std::min(255, v / 256);
        ASSERT_LE(std::max({now.R, now.G, now.B}), ceiling) << h << " " << s << " " << v;
        ASSERT_TRUE(now.R >= previous.R && now.G >= previous.G && now.B >= previous.B)
            << h << " " << s << " " << v;
        previous = now;
      }
      EXPECT_EQ(Split(HSBToColor(hue, s, 0)), (Rgb{0, 0, 0}));
      EXPECT_EQ(Split(HSBToColor(hue, 0, 65280)), (Rgb{255, 255, 255}));
    }
  }
}

// Over all 2^24 colours the round trip through HSB moves no channel by more
// than 3, keeps the brightest channel's value (one colour excepted, where the
// hue 54613 gives blue only 254), and keeps greys and pure primaries exactly.
TEST(ColorTest, RoundTripThroughHSBOverAllColours) {
  for (uint32_t c = 0; c < (1u << 24); ++c) {
    const THSB hsb = ColorToHSB(c);
    const TColor back = HSBToColor(hsb.Hue, hsb.Saturation, hsb.Brightness);
    const Rgb a = Split(c), b = Split(back);
    ASSERT_LE(std::max({std::abs(a.R - b.R), std::abs(a.G - b.G), std::abs(a.B - b.B)}), 3)
        << a << " -> " << b;
    if (c != MakeColor(254, 0, 255)) {
      ASSERT_EQ(std::max({a.R, a.G, a.B}), std::max({b.R, b.G, b.B})) << a << " -> " << b;
    }
  }
  EXPECT_EQ(Split([] {
              const THSB h = ColorToHSB(MakeColor(254, 0, 255));
              return HSBToColor(h.Hue, h.Saturation, h.Brightness);
            }()),
            (Rgb{254, 0, 254}));
  for (int v = 0; v < 256; ++v) {
    for (TColor c :
         {MakeColor(v, v, v), MakeColor(v, 0, 0), MakeColor(0, v, 0), MakeColor(0, 0, v)}) {
      const THSB hsb = ColorToHSB(c);
      ASSERT_EQ(HSBToColor(hsb.Hue, hsb.Saturation, hsb.Brightness), c) << Split(c);
    }
  }
}

}  // namespace
