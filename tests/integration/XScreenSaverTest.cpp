// Lettrance under the real XScreenSaver daemon, as its users run it: a
// programs: entry with the installed program, the daemon blanking and
// unblanking on command, one copy per monitor. XScreenSaver refuses to run as
// root, so as root the daemon runs as "nobody" with a home of its own and its
// own copy of the program. Time bounds are generous limits against hangs; the
// measured times are printed, not asserted.
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <thread>

#include "tests/integration/ChildProcess.h"
#include "tests/integration/NobodyHome.h"
#include "tests/integration/ScratchDisplay.h"
#include "tests/integration/XServer.h"
#include "tests/support/TempDir.h"

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

namespace {

const char* const kDaemon = "/usr/bin/xscreensaver";
const char* const kCommand = "/usr/bin/xscreensaver-command";

// One XScreenSaver daemon on `display`, with Lettrance as its only saver.
class Daemon {
 public:
  Daemon(const std::string& display, const std::string& options) : display_(display) {
    const fs::path home = dir_.Path();
    fs::create_directories(home / "bin");
    fs::create_directories(home / "run");
    fs::copy_file(LETTRANCE_EXE, home / "bin/lettrance");
    std::ofstream(home / ".xscreensaver")
        << "mode: one\nselected: 0\ntimeout: 0:30:00\nlock: False\nsplash: False\n"
           "fade: False\nunfade: False\ndpmsEnabled: False\n"
           "programs: "
        << (home / "bin/lettrance").string() << " --root " << options << "\n";
    std::vector<std::string> env = SanitizerEnvironment(home);
    env.insert(env.end(), {"HOME=" + home.string(), "DISPLAY=" + display, "PATH=/usr/bin:/bin",
                           "XDG_RUNTIME_DIR=" + (home / "run").string(), "QT_QPA_PLATFORM=xcb",
                           std::string("DBUS_SESSION_BUS_ADDRESS=") + kNoSessionBus,
                           "LETTRANCE_FRAME_STATS=1"});
    if (geteuid() == 0) {
      // The daemon's user owns its home; the program copy is readable by all.
      if (!HandToNobody(home)) return;
      fs::permissions(home, fs::perms::owner_all | fs::perms::group_exec | fs::perms::others_exec);
      prefix_ = {"/usr/sbin/runuser", "-u", "nobody", "--"};
    }
    prefix_.push_back("/usr/bin/env");
    prefix_.push_back("-i");
    prefix_.insert(prefix_.end(), env.begin(), env.end());

    std::vector<std::string> args(prefix_.begin() + 1, prefix_.end());
    args.insert(args.end(), {kDaemon, "-no-splash", "-verbose"});
    process_ = std::make_unique<ChildProcess>(prefix_.front(), args,
                                              std::map<std::string, std::string>{}, LogPath());
    // Ready once it answers.
    for (auto start = Clock::now(); Clock::now() - start < 30s && process_->Running();) {
      if (Command("-time")) return;
      std::this_thread::sleep_for(100ms);
    }
  }
  ~Daemon() {
    if (process_ == nullptr) return;
    Command("-exit");
    if (!process_->Wait(10s)) {
      // runuser waits for the daemon: end the daemon itself.
      std::smatch match;
      const std::string log = Log();
      if (std::regex_search(log, match, std::regex("running in process (\\d+)"))) {
        kill(std::stoi(match[1]), SIGKILL);
      }
      process_->Wait(5s);
    }
  }

  bool Ready() { return process_ != nullptr && process_->Running(); }

  // xscreensaver-command with `what`, as the daemon's user.
  bool Command(const std::string& what) {
    std::string line;
    for (const std::string& word : prefix_) line += "'" + word + "' ";
    return std::system((line + kCommand + " " + what + " >/dev/null 2>&1").c_str()) == 0;
  }

  std::string LogPath() const { return dir_.File("daemon.log"); }
  std::string Log() const { return TempDir::Read(LogPath()); }

  // The savers the daemon has started so far: pid and window.
  std::map<int, std::string> Savers() const {
    std::map<int, std::string> savers;
    const std::string log = Log();
    const std::regex forked(
        "forked \"[^\"]*lettrance[^\"]*\" in pid (\\d+) on window (0x[0-9a-fA-F]+)");
    for (auto it = std::sregex_iterator(log.begin(), log.end(), forked);
         it != std::sregex_iterator(); ++it) {
      savers[std::stoi((*it)[1])] = (*it)[2];
    }
    return savers;
  }

 private:
  std::string display_;
  TempDir dir_;
  std::vector<std::string> prefix_;
  std::unique_ptr<ChildProcess> process_;
};

// Running, and not a zombie that nobody has collected yet.
bool Alive(int pid) {
  std::ifstream stat(std::string("/proc/").append(std::to_string(pid)).append("/stat"));
  std::string text;
  std::getline(stat, text);
  const size_t close = text.rfind(')');
  return close != std::string::npos && close + 2 < text.size() && text[close + 2] != 'Z';
}

struct Area {
  int Left, Top, Width, Height;
};

class XScreenSaverTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!fs::exists(kDaemon) || !fs::exists(kCommand))
      GTEST_SKIP() << "xscreensaver is not installed";
    if (geteuid() == 0 && (getpwnam("nobody") == nullptr || !fs::exists("/usr/sbin/runuser"))) {
      GTEST_SKIP() << "as root the daemon needs the user nobody and runuser";
    }
  }

  // Blanks: one copy per monitor must draw into its monitor. Unblanks: every
  // copy must end, cleanly, and the daemon must report no crash.
  static void BlankAndUnblank(const ScratchDisplay& screens, const std::vector<Area>& monitors) {
    ASSERT_FALSE(screens.Name().empty()) << "no X server for the test";
    XServer x(screens.Name());
    ASSERT_TRUE(x.Connected());
    Daemon daemon(screens.Name(), "--text 'Hosted by XScreenSaver' --no-desktop");
    ASSERT_TRUE(daemon.Ready()) << daemon.Log();
    const auto asked = Clock::now();
    ASSERT_TRUE(daemon.Command("-activate")) << daemon.Log();

    std::map<int, std::string> savers;
    std::vector<bool> drawn(monitors.size(), false);
    auto allDrawn = [&] { return std::find(drawn.begin(), drawn.end(), false) == drawn.end(); };
    while (Clock::now() - asked < 30s && !(savers.size() == monitors.size() && allDrawn())) {
      std::this_thread::sleep_for(100ms);
      savers = daemon.Savers();
      for (size_t i = 0; i < monitors.size(); ++i) {
        const Area& m = monitors[i];
        drawn[i] = drawn[i] || x.CountPixelsOtherThan(m.Left, m.Top, m.Width, m.Height, 0) > 0;
      }
    }
    ASSERT_EQ(savers.size(), monitors.size()) << daemon.Log();
    for (size_t i = 0; i < monitors.size(); ++i) {
      EXPECT_TRUE(drawn[i]) << "nothing drawn on monitor " << i << "\n" << daemon.Log();
    }
    std::printf(
        "blanked and drawn after %lld ms\n",
        static_cast<long long>(
            std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - asked).count()));
    for (const auto& [pid, window] : savers) EXPECT_TRUE(Alive(pid)) << "copy " << pid << " ended";

    const auto unblanked = Clock::now();
    ASSERT_TRUE(daemon.Command("-deactivate"));
    for (const auto& [pid, window] : savers) {
      while (Alive(pid) && Clock::now() - unblanked < 10s) std::this_thread::sleep_for(5ms);
      EXPECT_FALSE(Alive(pid)) << "copy " << pid << " still runs";
      std::printf("copy %d on window %s ended %lld ms after unblanking\n", pid, window.c_str(),
                  static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                             Clock::now() - unblanked)
                                             .count()));
    }
    // Each copy reports its frames on its way out through the signal path;
    // one killed outright, or crashing, would not.
    std::string log;
    for (auto start = Clock::now(); Clock::now() - start < 5s;) {
      log = daemon.Log();
      size_t reports = 0;
      for (size_t at = log.find(" frames in "); at != std::string::npos;
           at = log.find(" frames in ", at + 1)) {
        ++reports;
      }
      if (reports >= savers.size()) break;
      std::this_thread::sleep_for(50ms);
    }
    size_t reports = 0;
    for (size_t at = log.find(" frames in "); at != std::string::npos;
         at = log.find(" frames in ", at + 1)) {
      ++reports;
    }
    EXPECT_EQ(reports, savers.size()) << log;
    for (const char* crash :
         {"abnormally", "terminated with signal", "crashed", "Sanitizer", "runtime error"}) {
      EXPECT_EQ(log.find(crash), std::string::npos) << crash << " in the daemon's log:\n" << log;
    }
  }
};

TEST_F(XScreenSaverTest, DrawsIntoTheDaemonsWindowAndEndsWhenItUnblanks) {
  ScratchDisplay screen(640, 480, false);
  BlankAndUnblank(screen, {{0, 0, 640, 480}});
}

TEST_F(XScreenSaverTest, OneCopyDrawsOnEachOfTwoMonitors) {
  ScratchDisplay screens(640, 480, true);
  BlankAndUnblank(screens, {{0, 0, 640, 480}, {640, 0, 640, 480}});
}

}  // namespace
