// How closely the frame timer keeps its schedule: a 2 s run at interval 25 ms
// with a 10 ms OnTimer handler on the GUI thread, reporting the mean interval
// between ticks and the 99th-percentile lateness against the due times.
// Also the cost of one hand-over round trip at interval 0.

#include <benchmark/benchmark.h>
#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <thread>
#include <vector>

#include "host/XAdvTimerComp.h"

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

double Milliseconds(Clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

// The timer counts whole milliseconds of the same monotonic clock, so its
// restart falls on the millisecond boundary at or before this moment.
Clock::time_point WholeMillisecondNow() {
  return Clock::time_point(std::chrono::floor<milliseconds>(Clock::now().time_since_epoch()));
}

void RunEventLoopFor(milliseconds time) {
  QEventLoop loop;
  QTimer::singleShot(time, Qt::PreciseTimer, &loop, &QEventLoop::quit);
  loop.exec();
}

void BM_ScheduleAccuracy(benchmark::State& state) {
  constexpr int kInterval = 25;
  for (auto _ : state) {
    std::vector<Clock::time_point> ticks;
    ticks.reserve(200);
    TAdvTimer timer;
    timer.SetEnabled(false);
    timer.SetInterval(kInterval);
    timer.SetOnTimer([&](QObject*) {
      ticks.push_back(Clock::now());
      std::this_thread::sleep_for(milliseconds(10));
    });
    const Clock::time_point restart = WholeMillisecondNow();
    timer.SetEnabled(true);
    RunEventLoopFor(milliseconds(2000));
    timer.SetEnabled(false);
    if (ticks.size() < 2) {
      state.SkipWithError("the timer did not tick");
      return;
    }

    std::vector<double> lateness;
    for (size_t k = 0; k < ticks.size(); ++k) {
      lateness.push_back(Milliseconds(ticks[k] - restart - milliseconds(kInterval) * (k + 1)));
    }
    std::sort(lateness.begin(), lateness.end());
    const auto p99 = static_cast<size_t>(std::ceil(0.99 * static_cast<double>(lateness.size())));
    state.counters["ticks"] = static_cast<double>(ticks.size());
    state.counters["mean_interval_ms"] =
        Milliseconds(ticks.back() - ticks.front()) / static_cast<double>(ticks.size() - 1);
    state.counters["median_lateness_ms"] = lateness[lateness.size() / 2];
    state.counters["p99_lateness_ms"] = lateness[std::clamp<size_t>(p99, 1, lateness.size()) - 1];
    state.counters["max_lateness_ms"] = lateness.back();
  }
}
BENCHMARK(BM_ScheduleAccuracy)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_HandOverRoundTrip(benchmark::State& state) {
  const int64_t wanted = state.range(0);
  for (auto _ : state) {
    int64_t ticks = 0;
    QEventLoop loop;
    TAdvTimer timer;
    timer.SetEnabled(false);
    timer.SetInterval(0);  // every tick due at once: one hand-over after another
    timer.SetOnTimer([&](QObject*) {
      if (++ticks == wanted) loop.quit();
    });
    const Clock::time_point start = Clock::now();
    timer.SetEnabled(true);
    loop.exec();
    state.counters["us_per_tick"] =
        Milliseconds(Clock::now() - start) * 1000.0 / static_cast<double>(wanted);
  }
}
BENCHMARK(BM_HandOverRoundTrip)->Arg(20000)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
