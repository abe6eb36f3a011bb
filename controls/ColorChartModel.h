#pragma once
// The arithmetic of the colour picker's hue x lightness chart: which colour
// each chart position stands for, how the chart is painted and when a colour
// counts as light. No widgets here, so every formula can be checked alone.

#include <array>
#include <cstdint>
#include <functional>

#include "controls/PixelRows32.h"
#include "engine/XColorUnit.h"

// ccHorizontal: hue across, lightness down. ccVertical: hue down, lightness
// across.
enum TColorChoiceKind { ccHorizontal = 0, ccVertical = 1 };

// The lightness ramps: 0 is black, 32768 the pure hue, 65535 white.
uint16_t ChartSaturation(uint16_t lightness);
uint16_t ChartBrightness(uint16_t lightness);

// The 16-bit position (0..65535) of pixel `index` on an axis of `size` pixels.
// An axis of one pixel has no extent and stays at 0.
uint16_t ChartAxisPosition(int index, int size);

// The colour a pick at chart pixel (x, y) chooses in a chart of width x
// height pixels; the position is first clamped into the chart.
TColor ChartColorAt(TColorChoiceKind kind, int x, int y, int width, int height);

// Paints the whole chart straight into the rows of a 32-bit picture, one
// conversion per pixel. A picture without area is left alone.
void RenderChart32(TColorChoiceKind kind, const TPixelRows32& rows);

// The chart for displays of few colours: 8 x 8 blocks, each in the colour at
// its top-left corner. `fill` gets the corner of each block and its colour;
// blocks at the right and bottom edges may stick out of the chart.
void ForEachChartBlock(TColorChoiceKind kind, int width, int height,
                       const std::function<void(int x, int y, TColor color)>& fill);

// Whether black ink reads better than white on this colour.
bool IsLightColor(TColor color);

// The colours of the picker's menu, in menu order.
struct TNamedColor {
  const char* Name;
  TColor Color;
};
inline constexpr std::array<TNamedColor, 9> kNamedColors = {{
    {"red", MakeColor(255, 0, 0)},
    {"yellow", MakeColor(255, 215, 0)},
    {"green", MakeColor(0, 224, 0)},
    {"cyan", MakeColor(0, 200, 255)},
    {"blue", MakeColor(0, 0, 255)},
    {"magenta", MakeColor(200, 0, 255)},
    {"black", MakeColor(0, 0, 0)},
    {"gray", MakeColor(128, 128, 128)},
    {"white", MakeColor(255, 255, 255)},
}};
