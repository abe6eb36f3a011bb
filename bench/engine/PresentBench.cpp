// Step + Present into an image, per frame, for every effect: the whole cost
// of a frame on Qt's raster engine, with the default text or a 1000-letter
// line, over black or over a desktop picture (with its shadow pass). The
// target copies what changed, as the windows do; the "WholeCopy" scenes copy
// every whole frame, as the windows did before, for comparison.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <memory>
#include <string>

#include "engine/AnimationUnit.h"
#include "engine/QtSurface.h"
#include "platform/RandomNumbers.h"
#include "platform/ScreenMetrics.h"
#include "settings/GlobalsUnit.h"

namespace {

struct Scene {
  int32_t width;
  int32_t height;
  bool desktop;
  bool longLine;
  bool wholeCopy = false;
};

// Takes every frame whole, whatever changed.
class WholeFrameSink : public FrameTarget {
 public:
  void ShowFrame(const QImage& frame, const QRegion&) override {
    sink_.ShowFrame(frame, QRegion(frame.rect()));
  }

 private:
  ImageSink sink_;
};

std::string ThousandLetters() {
  const std::string words = "Lettrance moves every letter of a line across the screen. ";
  std::string text;
  while (text.size() < 1000) text += words;
  text.resize(1000);
  return text;
}

QImage DesktopPicture(int32_t width, int32_t height) {
  QImage picture(width, height, QImage::Format_RGB32);
  for (int y = 0; y < height; ++y) {
    auto* row = reinterpret_cast<QRgb*>(picture.scanLine(y));
    for (int x = 0; x < width; ++x) row[x] = qRgb(x % 256, y % 256, (x + y) % 256);
  }
  return picture;
}

void RunScene(benchmark::State& bench, const Scene& scene) {
  const auto effect = static_cast<int32_t>(bench.range(0));
  TGlobals settings = DefaultGlobals();
  settings.FontName = "DejaVu Sans";
  settings.FontSize = 60;
  settings.EffectsFlag = false;
  settings.DesktopFlag = scene.desktop;
  if (scene.longLine) settings.Text = ThousandLetters();
  platform::SetPrimaryScreenSize(platform::ScreenSize{scene.width, scene.height});
  platform::SeedRandom(1);

  const Picture desktop(DesktopPicture(scene.width, scene.height));
  ImageSink sink;
  WholeFrameSink wholeSink;
  TSaverAni state;
  state.Width = scene.width;
  state.Height = scene.height;
  state.Background = &desktop;
  state.Target = scene.wholeCopy ? static_cast<FrameTarget*>(&wholeSink) : &sink;
  state.MakeSurface = QtSurfaceFactory();
  state.Init(settings);
  state.Effect = effect;
  state.LineIndex = -1;
  state.Layout();

  for (auto _ : bench) {
    state.Step();
    state.Present();
  }
  state.Done();
  bench.SetLabel(EffectNames[effect]);
}

void BM_Frame1080(benchmark::State& bench) {
  RunScene(bench, {1920, 1080, false, false});
}
void BM_Frame1080Desktop(benchmark::State& bench) {
  RunScene(bench, {1920, 1080, true, false});
}
void BM_Frame2160(benchmark::State& bench) {
  RunScene(bench, {3840, 2160, false, false});
}
void BM_Frame2160Desktop(benchmark::State& bench) {
  RunScene(bench, {3840, 2160, true, false});
}
void BM_Frame2160WholeCopy(benchmark::State& bench) {
  RunScene(bench, {3840, 2160, false, false, true});
}
void BM_Frame2160DesktopWholeCopy(benchmark::State& bench) {
  RunScene(bench, {3840, 2160, true, false, true});
}
void BM_Frame1080LongLine(benchmark::State& bench) {
  RunScene(bench, {1920, 1080, false, true});
}

BENCHMARK(BM_Frame1080)->DenseRange(0, kEffectCount - 1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Frame1080Desktop)->DenseRange(0, kEffectCount - 1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Frame2160)->DenseRange(0, kEffectCount - 1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Frame2160Desktop)->DenseRange(0, kEffectCount - 1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Frame2160WholeCopy)->DenseRange(0, kEffectCount - 1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Frame2160DesktopWholeCopy)
    ->DenseRange(0, kEffectCount - 1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Frame1080LongLine)->DenseRange(0, kEffectCount - 1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char* argv[]) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
