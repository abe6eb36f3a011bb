// Step alone for a 1000-letter line, per effect, on the fake surface: the
// engine's own cost per letter and frame, without any drawing.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "engine/AnimationUnit.h"
#include "platform/RandomNumbers.h"
#include "platform/ScreenMetrics.h"
#include "settings/GlobalsUnit.h"
#include "tests/support/FakeSurface.h"

namespace {

constexpr int32_t kLetters = 1000;

std::string ThousandLetters() {
  const std::string words = "Lettrance moves every letter of a line across the screen. ";
  std::string text;
  while (text.size() < static_cast<size_t>(kLetters)) text += words;
  text.resize(kLetters);
  return text;
}

std::unique_ptr<TSaverAni> MakeState(int32_t effect) {
  TGlobals settings = DefaultGlobals();
  settings.FontName = "DejaVu Sans";
  settings.Text = ThousandLetters();
  settings.EffectsFlag = false;
  settings.RandomColorFlag = false;
  platform::SetPrimaryScreenSize(platform::ScreenSize{1920, 1080});
  platform::SeedRandom(1);
  auto state = std::make_unique<TSaverAni>();
  state->Width = 1920;
  state->Height = 1080;
  state->MakeSurface = [](int32_t, int32_t) {
    auto surface = std::make_unique<FakeSurface>();
    surface->LetterWidth = 30;  // about a 60-point font
    surface->TextHeight = 70;
    return surface;
  };
  state->Init(settings);
  state->Effect = effect;
  state->LineIndex = -1;
  state->Layout();
  return state;
}

void BM_Step(benchmark::State& bench) {
  const auto effect = static_cast<int32_t>(bench.range(0));
  auto state = MakeState(effect);
  for (auto _ : bench) {
    state->Step();
    if (state->AllGone) state->Layout();
    benchmark::DoNotOptimize(state->LetterX[kLetters]);
  }
  bench.SetLabel(EffectNames[effect]);
  // Seconds per letter and frame (printed with its unit prefix, e.g. 9.8ns).
  bench.counters["per_letter"] = benchmark::Counter(
      kLetters, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

BENCHMARK(BM_Step)->DenseRange(0, kEffectCount - 1);

}  // namespace

BENCHMARK_MAIN();
