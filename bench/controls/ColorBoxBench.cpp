// The colour dialog's drawing: a full repaint of the 256 x 256 field and the
// strip (a change of mode or strip value), one drag step in the field (two
// marker squares of the field plus the strip), and the picker's chart.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <vector>

#include "controls/ColorBoxRender.h"
#include "controls/ColorChartModel.h"
#include "controls/XColorBoxUnit.h"

namespace {

// The arithmetic alone, into plain memory: all 256 columns and the strip.
void BM_FieldAndStripArithmetic(benchmark::State& state) {
  const int mode = static_cast<int>(state.range(0));
  std::vector<uint32_t> field(kFieldSize * kFieldSize), strip(kStripWidth * kFieldSize);
  const TPixelRows32 fieldRows{reinterpret_cast<uint8_t*>(field.data()), kFieldSize * 4, kFieldSize,
                               kFieldSize};
  const TPixelRows32 stripRows{reinterpret_cast<uint8_t*>(strip.data()), kStripWidth * 4,
                               kStripWidth, kFieldSize};
  const TColorBoxColor color = TColorBoxColor::FromRgb(MakeColor(40, 120, 200));
  for (auto _ : state) {
    RenderField32(color, mode, TFieldRect::WholeField(), fieldRows);
    RenderStrip32(color, mode, stripRows);
    benchmark::DoNotOptimize(field.data());
  }
}
BENCHMARK(BM_FieldAndStripArithmetic)->DenseRange(0, 5)->Unit(benchmark::kMicrosecond);

// Through the dialog: a pick in the strip renders the whole field and strip
// into their bitmaps with the markers.
void BM_DialogFullRepaint(benchmark::State& state) {
  TColorBoxForm form(nullptr, 32);
  form.SetCurrentColor(MakeColor(40, 120, 200));
  form.SelectMode(static_cast<int>(state.range(0)));
  int y = 0;
  for (auto _ : state) {
    form.PickInStrip(y);
    y = (y + 37) % 256;
  }
}
BENCHMARK(BM_DialogFullRepaint)->Arg(0)->Arg(3)->Unit(benchmark::kMicrosecond);

// One drag step in the field: strip, two marker squares, the edits.
void BM_DialogFieldDragStep(benchmark::State& state) {
  TColorBoxForm form(nullptr, 32);
  form.SetCurrentColor(MakeColor(40, 120, 200));
  form.SelectMode(static_cast<int>(state.range(0)));
  int x = 0;
  for (auto _ : state) {
    form.PickInField(x, 255 - x);
    x = (x + 3) % 256;
  }
}
BENCHMARK(BM_DialogFieldDragStep)->Arg(0)->Arg(3)->Unit(benchmark::kMicrosecond);

// The picker's chart at the setup dialog's size, painted in full.
void BM_PickerChart(benchmark::State& state) {
  std::vector<uint32_t> chart(95 * 61);
  const TPixelRows32 rows{reinterpret_cast<uint8_t*>(chart.data()), 95 * 4, 95, 61};
  for (auto _ : state) {
    RenderChart32(ccHorizontal, rows);
    benchmark::DoNotOptimize(chart.data());
  }
}
BENCHMARK(BM_PickerChart)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
