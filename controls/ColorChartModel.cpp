#include "controls/ColorChartModel.h"

#include <algorithm>

namespace {

// The integer step per pixel along an axis; 0 for an axis of one pixel, so
// that such an axis contributes nothing instead of dividing by zero.
uint32_t AxisStep(int size, uint32_t span) {
  return size > 1 ? span / static_cast<uint32_t>(size - 1) : 0;
}

TColor ShiftColorOf(uint16_t along, uint16_t lightness) {
  return HSBToColorShift(static_cast<uint16_t>(65535 - along), ChartSaturation(lightness),
                         ChartBrightness(lightness));
}

}  // namespace

uint16_t ChartSaturation(uint16_t lightness) {
  if (lightness < 32768) return 65535;
  return static_cast<uint16_t>((65535 - lightness) * 2);
}

uint16_t ChartBrightness(uint16_t lightness) {
  if (lightness < 32768) return static_cast<uint16_t>(lightness * 2);
  return 65535;
}

uint16_t ChartAxisPosition(int index, int size) {
  if (size <= 1) return 0;
  return static_cast<uint16_t>(static_cast<uint32_t>(index) * 65535 /
                               static_cast<uint32_t>(size - 1));
}

TColor ChartColorAt(TColorChoiceKind kind, int x, int y, int width, int height) {
  x = std::clamp(x, 0, std::max(width - 1, 0));
  y = std::clamp(y, 0, std::max(height - 1, 0));
  const uint16_t hx = ChartAxisPosition(x, width);
  const uint16_t hy = ChartAxisPosition(y, height);
  const uint16_t lightness = kind == ccHorizontal ? static_cast<uint16_t>(65535 - hy) : hx;
  const uint16_t hue = static_cast<uint16_t>(65535 - (kind == ccHorizontal ? hx : hy));
  return HSBToColor(hue, ChartSaturation(lightness), ChartBrightness(lightness));
}

void RenderChart32(TColorChoiceKind kind, const TPixelRows32& rows) {
  if (rows.Width <= 0 || rows.Height <= 0) return;
  const uint32_t sx = AxisStep(rows.Width, 65535);
  const uint32_t sy = AxisStep(rows.Height, 65535);
  for (int y = 0; y < rows.Height; ++y) {
    uint32_t* row = rows.Row(y);
    const auto down = static_cast<uint16_t>(static_cast<uint32_t>(y) * sy);
    for (int x = 0; x < rows.Width; ++x) {
      const auto across = static_cast<uint16_t>(static_cast<uint32_t>(x) * sx);
      const TColor color = kind == ccHorizontal
                               ? ShiftColorOf(across, static_cast<uint16_t>(65535 - down))
                               : ShiftColorOf(down, across);
      row[x] = ToPixel32(color);
    }
  }
}

void ForEachChartBlock(TColorChoiceKind kind, int width, int height,
                       const std::function<void(int x, int y, TColor color)>& fill) {
  if (width <= 0 || height <= 0) return;
  const uint32_t dx = AxisStep(width, 8 * 65535);
  const uint32_t dy = AxisStep(height, 8 * 65535);
  // Block i starts at pixel 8i, whose position i * dx never passes 65535.
  for (int by = 0, j = 0; by < height; by += 8, ++j) {
    const auto down = static_cast<uint16_t>(static_cast<uint32_t>(j) * dy);
    for (int bx = 0, i = 0; bx < width; bx += 8, ++i) {
      const auto across = static_cast<uint16_t>(static_cast<uint32_t>(i) * dx);
      const uint16_t along = kind == ccHorizontal ? across : down;
      const uint16_t lightness =
          kind == ccHorizontal ? static_cast<uint16_t>(65535 - down) : across;
      fill(bx, by,
           HSBToColor(static_cast<uint16_t>(65535 - along), ChartSaturation(lightness),
                      ChartBrightness(lightness)));
    }
  }
}

bool IsLightColor(TColor color) {
  return RedOf(color) > 160 || GreenOf(color) > 128 || BlueOf(color) > 224;
}
