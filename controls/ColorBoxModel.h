#pragma once
// The arithmetic of the channel colour dialog: the six channel modes, marker
// positions, picking in the field and the strip, the values shown in the
// edits and what a committed edit does to the colour. No widgets here.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "engine/XColorUnit.h"

// Channels in the order of the dialog's radio buttons and edits.
enum TColorChannel { chHue = 0, chSaturation, chBrightness, chRed, chGreen, chBlue };

// A channel mode: the channel in the strip and the two spread over the field.
struct TChannelMode {
  TColorChannel Across;
  TColorChannel Down;
  TColorChannel Strip;
  const char* Name;  // as shown in the values group's caption
};

inline constexpr std::array<TChannelMode, 6> kChannelModes = {{
    {chSaturation, chBrightness, chHue, "Hue"},
    {chHue, chBrightness, chSaturation, "Saturation"},
    {chHue, chSaturation, chBrightness, "Brighness"},
    {chGreen, chBlue, chRed, "Red"},
    {chRed, chBlue, chGreen, "Green"},
    {chRed, chGreen, chBlue, "Blue"},
}};

constexpr bool IsHsbChannel(TColorChannel channel) {
  return channel <= chBrightness;
}

// The colour being edited, in both models. The dialog keeps the two in step
// by converting from the model the user changed.
struct TColorBoxColor {
  TColor Rgb = 0;
  THSB Hsb;

  static TColorBoxColor FromRgb(TColor rgb);

  // The raw value of a channel: 16 bits for hue, saturation and brightness,
  // 8 bits for red, green and blue.
  uint32_t Channel(TColorChannel channel) const;
  // Sets one raw channel without touching the other model.
  void SetChannel(TColorChannel channel, uint32_t value);
  // The 8-bit value of a channel as the field and strip place it.
  int Channel8(TColorChannel channel) const;
  // Sets a channel from its 8-bit value (x 256 for the HSB channels) and
  // recomputes the other model.
  void SetChannel8(TColorChannel channel, int value);

  friend bool operator==(const TColorBoxColor&, const TColorBoxColor&) = default;
};

// Marker positions, each 0..255: (X, Y) in the field, Z in the strip.
struct TColorMarkers {
  int X = 0;
  int Y = 0;
  int Z = 0;
  friend bool operator==(const TColorMarkers&, const TColorMarkers&) = default;
};

TColorMarkers MarkersOf(const TColorBoxColor& color, int mode);

// A pick at field pixel (x, y) or strip row y, clamped into 0..255. Returns
// the markers after the pick.
TColorMarkers PickFieldColor(TColorBoxColor& color, int mode, int x, int y);
TColorMarkers PickStripColor(TColorBoxColor& color, int mode, int y);

// n / d rounded to the nearest integer, halves to even (n >= 0, d > 0).
int64_t RoundHalfEven(int64_t n, int64_t d);

// What the six numeric edits show, in channel order (before an edit clamps).
std::array<int32_t, 6> EditValuesOf(const TColorBoxColor& color);

// The colour after the hue (0..359), saturation and brightness (0..100)
// edits were committed.
TColorBoxColor CommitHsbEdits(int32_t hue, int32_t saturation, int32_t brightness);
// The colour after the red, green and blue edits (0..255) were committed.
TColorBoxColor CommitRgbEdits(int32_t red, int32_t green, int32_t blue);

// The six upper-case hexadecimal digits RRGGBB of a colour.
std::string HtmlCodeOf(TColor color);
// RRGGBB in digits of either case; anything but exactly six hexadecimal
// digits is no colour.
std::optional<TColor> ParseHtmlCode(std::string_view text);
