// The real saver on a real X server, measured from outside: time from process
// start to the first frame on screen, CPU use at TimerInterval 25 and the
// frame rate with TimerInterval 0. Needs DISPLAY (bench/run-saver-bench.sh
// starts a 1920x1080 Xvfb for it).
#include <benchmark/benchmark.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>

#include "tests/integration/ChildProcess.h"
#include "tests/integration/XServer.h"
#include "tests/support/TempDir.h"

using namespace std::chrono_literals;

namespace {

struct SaverHome {
  explicit SaverHome(int timerInterval, const std::string& extra = std::string()) {
    std::filesystem::create_directories(home.Path() / "config/lettrance");
    char interval[16];
    std::snprintf(interval, sizeof interval, "%08x", timerInterval);
    TempDir::Write(home.File("config/lettrance/registry.reg"),
                   "Windows Registry Editor Version 5.00\n\n"
                   "[HKEY_CURRENT_USER\\Software\\Vandor\\ScreenSaver\\Lettrance]\n"
                   "\"ExeCounter\"=dword:00000001\n\"ExeVersion\"=\"1.06 - 17 Jan 2001\"\n"
                   "\"TimerInterval\"=dword:" +
                       std::string(interval) + "\n" + extra);
  }
  std::unique_ptr<ChildProcess> Start(const std::string& errorFile = std::string()) {
    return std::make_unique<ChildProcess>(
        LETTRANCE_EXE, std::vector<std::string>{"/s"},
        std::map<std::string, std::string>{{"XDG_CONFIG_HOME", home.File("config")},
                                           {"XDG_DATA_HOME", home.File("data")},
                                           {"XDG_RUNTIME_DIR", home.File("")},
                                           {"QT_QPA_PLATFORM", "xcb"},
                                           {"LETTRANCE_FRAME_STATS", "1"}},
        errorFile);
  }
  TempDir home;
};

double CpuSeconds(pid_t pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string line;
  std::getline(stat, line);
  std::istringstream fields(line.substr(line.rfind(')') + 2));
  std::string field;
  long long utime = 0, stime = 0;
  for (int i = 3; fields >> field; ++i) {
    if (i == 14) utime = std::stoll(field);
    if (i == 15) {
      stime = std::stoll(field);
      break;
    }
  }
  return static_cast<double>(utime + stime) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

void End(ChildProcess& saver) {
  XServer::Xdotool("key x");
  if (!saver.Wait(5s)) saver.Kill(SIGKILL);
}

// The desktop is one grey window and the saver draws over a snapshot of it:
// the screen turns black when the saver window appears and grey again with
// the first frame. Small corner patches are enough to see both.
void BM_TimeToFirstFrame(benchmark::State& state) {
  XServer x;
  if (!x.Connected()) {
    state.SkipWithError("no X server");
    return;
  }
  constexpr uint32_t kGrey = 0x808080;
  const int w = x.ScreenWidth(), h = x.ScreenHeight();
  const Window desktop = x.CreateWindow(0, 0, w, h, kGrey);
  SaverHome home(25, "\"DesktopFlag\"=dword:00000001\n");
  const auto cornerShows = [&](uint32_t rgb) {
    for (const auto& [cx, cy] : {std::pair{4, 4}, {w - 12, 4}, {4, h - 12}, {w - 12, h - 12}}) {
      if (x.CountPixelsEqualTo(cx, cy, 8, 8, rgb) == 64) return true;
    }
    return false;
  };
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    auto saver = home.Start();
    bool covered = false, framed = false;
    while (!framed && saver->Running() && std::chrono::steady_clock::now() - start < 10s) {
      if (!covered) {
        covered = cornerShows(0x000000);
      } else {
        framed = cornerShows(kGrey);
      }
      if (!framed) std::this_thread::sleep_for(1ms);
    }
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    state.SetIterationTime(took.count());
    if (!framed) state.SkipWithError("no frame");
    End(*saver);
    std::this_thread::sleep_for(200ms);
  }
  x.Destroy(desktop);
}
BENCHMARK(BM_TimeToFirstFrame)
    ->Iterations(1)
    ->Repetitions(10)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

void BM_CpuUseAtInterval25(benchmark::State& state) {
  XServer x;
  SaverHome home(25);
  for (auto _ : state) {
    auto saver = home.Start();
    std::this_thread::sleep_for(1s);
    const double before = CpuSeconds(saver->Pid());
    std::this_thread::sleep_for(10s);
    const double used = CpuSeconds(saver->Pid()) - before;
    state.counters["cpu_percent_of_one_core"] = 100.0 * used / 10.0;
    End(*saver);
  }
}
BENCHMARK(BM_CpuUseAtInterval25)->Iterations(1)->Unit(benchmark::kSecond);

void BM_FramesPerSecondAtInterval0(benchmark::State& state) {
  XServer x;
  SaverHome home(0);
  const std::string log = home.home.File("stderr.txt");
  for (auto _ : state) {
    auto saver = home.Start(log);
    std::this_thread::sleep_for(5s);
    End(*saver);
    const std::string text = TempDir::Read(log);
    const size_t at = text.find('(');
    state.counters["frames_per_second"] =
        at == std::string::npos ? 0 : std::stod(text.substr(at + 1));
  }
}
BENCHMARK(BM_FramesPerSecondAtInterval0)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace

BENCHMARK_MAIN();
