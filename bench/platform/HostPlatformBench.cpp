// What program entry pays for the platform: the desktop snapshot scaled to a
// full screen or a preview, and the per-frame visibility check of the
// preview's host window (one round trip to the X server).

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QPixmap>
#include <cstdlib>

#include "platform/DesktopSnapshot.h"
#include "platform/x11/ForeignWindow.h"

namespace {

QGuiApplication& Application() {
  static int argc = 3;
  static char name[] = "platform-bench";
  static char option[] = "-platform";
  static char offscreen[] = "offscreen";
  static char* argv[] = {name, option, offscreen, nullptr};
  static QGuiApplication application(argc, argv);
  return application;
}

void BM_ScaleSnapshot(benchmark::State& state) {
  Application();
  QImage screen(1920, 1080, QImage::Format_RGB32);
  screen.fill(Qt::darkCyan);
  const QPixmap grab = QPixmap::fromImage(screen);
  const QSize target(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  for (auto _ : state) benchmark::DoNotOptimize(platform::ScaleSnapshot(grab, target));
}
BENCHMARK(BM_ScaleSnapshot)->Args({1920, 1080})->Args({153, 113})->Unit(benchmark::kMillisecond);

void BM_ForeignWindowIsVisible(benchmark::State& state) {
  if (std::getenv("DISPLAY") == nullptr) {
    state.SkipWithError("needs an X server ($DISPLAY unset)");
    return;
  }
  platform::X11ForeignWindows windows;
  const platform::WindowId gone = 0x7FFFFFF;  // no such window: the error path
  for (auto _ : state) benchmark::DoNotOptimize(windows.IsVisible(gone));
}
BENCHMARK(BM_ForeignWindowIsVisible)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
