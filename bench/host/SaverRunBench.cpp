// The real saver on a real X server, measured from outside: time from process
// start to the first frame on screen next to a bare Qt window's start to its
// first paint, CPU use of the saver and the X server at TimerInterval 25 with
// changed regions and with whole frames, and the frame rate with
// TimerInterval 0. Needs DISPLAY (bench/run-saver-bench.sh starts a 1920x1080
// Xvfb for it and names its process in XVFB_PID).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <numeric>
#include <sstream>
#include <thread>
#include <vector>

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
  std::unique_ptr<ChildProcess> Start(const std::string& errorFile = std::string(),
                                      bool wholeFrames = false) {
    std::map<std::string, std::string> env{{"XDG_CONFIG_HOME", home.File("config")},
                                           {"XDG_DATA_HOME", home.File("data")},
                                           {"XDG_RUNTIME_DIR", home.File("")},
                                           {"QT_QPA_PLATFORM", "xcb"},
                                           {"LETTRANCE_FRAME_STATS", "1"}};
    if (wholeFrames) env["LETTRANCE_WHOLE_FRAMES"] = "1";
    return std::make_unique<ChildProcess>(LETTRANCE_EXE, std::vector<std::string>{"/s"}, env,
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

using Clock = std::chrono::steady_clock;

// Waits until one corner of the screen shows `rgb` (8 x 8 pixels of it);
// false after 10 s or when the process ended.
bool WaitForCorner(XServer& x, ChildProcess& process, uint32_t rgb) {
  const int w = x.ScreenWidth(), h = x.ScreenHeight();
  const auto start = Clock::now();
  while (process.Running() && Clock::now() - start < 10s) {
    for (const auto& [cx, cy] : {std::pair{4, 4}, {w - 12, 4}, {4, h - 12}, {w - 12, h - 12}}) {
      if (x.CountPixelsEqualTo(cx, cy, 8, 8, rgb) == 64) return true;
    }
    std::this_thread::sleep_for(1ms);
  }
  return false;
}

double Milliseconds(Clock::time_point since) {
  return std::chrono::duration<double, std::milli>(Clock::now() - since).count();
}

// Start to the first frame, next to the floor: a bare Qt window's start to
// its first paint, measured in the same iteration. The desktop is one grey
// window; the saver draws on black, so the screen turns black with its first
// frame (the text starts beyond the right edge).
void BM_TimeToFirstFrame(benchmark::State& state) {
  XServer x;
  if (!x.Connected()) {
    state.SkipWithError("no X server");
    return;
  }
  constexpr uint32_t kGrey = 0x808080;
  constexpr uint32_t kBare = 0x204080;
  const Window desktop = x.CreateWindow(0, 0, x.ScreenWidth(), x.ScreenHeight(), kGrey);
  SaverHome home(25);
  for (auto _ : state) {
    auto start = Clock::now();
    ChildProcess bare(BARE_WINDOW_EXE, {}, {{"QT_QPA_PLATFORM", "xcb"}});
    const bool painted = WaitForCorner(x, bare, kBare);
    const double bareMs = Milliseconds(start);
    End(bare);
    std::this_thread::sleep_for(200ms);

    start = Clock::now();
    auto saver = home.Start();
    const bool framed = WaitForCorner(x, *saver, 0x000000);
    const double saverMs = Milliseconds(start);
    End(*saver);
    std::this_thread::sleep_for(200ms);

    state.SetIterationTime(saverMs / 1000.0);
    state.counters["bare_window_ms"] = bareMs;
    state.counters["lettrance_ms"] = saverMs;
    state.counters["ratio"] = saverMs / bareMs;
    if (!painted || !framed) state.SkipWithError("no first paint or no frame");
  }
  x.Destroy(desktop);
}
BENCHMARK(BM_TimeToFirstFrame)
    ->Iterations(1)
    ->Repetitions(10)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// CPU of the saver and of the X server at 40 frames per second, changed
// regions against whole frames (LETTRANCE_WHOLE_FRAMES=1, as before changed
// regions), read once a second. The two take turns, 20 s at a time for
// 4 minutes, so that both see the same mix of effects (a pass of the default
// text takes about 14 s, each with an effect of its own) and the same state
// of the machine: on a shared virtual machine, other guests make every
// wake-up cost several times as much for minutes at a time, and the saver
// and the X server then spike together. Reported: the mean of each, and the
// median second, which leaves such spikes out.
struct CpuSamples {
  std::vector<double> saver, server, together;
};

void Sample(SaverHome& home, bool wholeFrames, pid_t server, int seconds, CpuSamples& into) {
  auto saver = home.Start(std::string(), wholeFrames);
  std::this_thread::sleep_for(1s);
  double saverBefore = CpuSeconds(saver->Pid());
  double serverBefore = server > 0 ? CpuSeconds(server) : 0;
  for (int second = 0; second < seconds; ++second) {
    std::this_thread::sleep_for(1s);
    const double saverNow = CpuSeconds(saver->Pid());
    const double serverNow = server > 0 ? CpuSeconds(server) : 0;
    into.saver.push_back(100.0 * (saverNow - saverBefore));
    into.server.push_back(100.0 * (serverNow - serverBefore));
    into.together.push_back(into.saver.back() + into.server.back());
    saverBefore = saverNow;
    serverBefore = serverNow;
  }
  End(*saver);
}

double Mean(const std::vector<double>& values) {
  return std::accumulate(values.begin(), values.end(), 0.0) / static_cast<double>(values.size());
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const size_t n = values.size();
  return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

void BM_CpuUseAtInterval25(benchmark::State& state) {
  XServer x;
  SaverHome home(25);
  const char* xvfb = std::getenv("XVFB_PID");
  const pid_t server = xvfb != nullptr ? static_cast<pid_t>(std::atoi(xvfb)) : 0;
  for (auto _ : state) {
    CpuSamples changed, whole;
    for (int turn = 0; turn < 6; ++turn) {
      Sample(home, false, server, 20, changed);
      Sample(home, true, server, 20, whole);
    }
    state.counters["changed_saver"] = Mean(changed.saver);
    state.counters["changed_x_server"] = Mean(changed.server);
    state.counters["changed_together"] = Mean(changed.together);
    state.counters["changed_together_median"] = Median(changed.together);
    state.counters["whole_saver"] = Mean(whole.saver);
    state.counters["whole_x_server"] = Mean(whole.server);
    state.counters["whole_together"] = Mean(whole.together);
    state.counters["whole_together_median"] = Median(whole.together);
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
