// Lettrance under the real MATE screen saver, as a new user meets it after
// installing it into /usr: found through the host's theme menu, the daemon
// blanking and unblanking on command, the preview pane of its preferences.
// The host looks for its savers' programs only in its fixed saver folders
// below /usr, so the files of a scratch install (cmake --install with the
// prefix /usr) are laid over /usr in a mount namespace of the host's own; the
// system stays as it is. Everything of the host runs as the user "nobody"
// with a private home, settings in GSettings' keyfile and a session bus of
// its own. The host hands its saver no environment of ours, so the saver's
// settings come from the hive in that home. Time bounds are generous limits
// against hangs; measured times are printed, not asserted.
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <set>
#include <thread>

#include "tests/integration/ChildProcess.h"
#include "tests/integration/ExitWatch.h"
#include "tests/integration/NobodyHome.h"
#include "tests/integration/ScratchDisplay.h"
#include "tests/integration/XServer.h"
#include "tests/support/TempDir.h"

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

namespace {

const char* const kDaemon = "/usr/bin/mate-screensaver";
const char* const kCommand = "/usr/bin/mate-screensaver-command";
const char* const kPreferences = "/usr/bin/mate-screensaver-preferences";
const char* const kBusSession = "/usr/bin/dbus-run-session";
const char* const kUnshare = "/usr/bin/unshare";
constexpr int kWidth = 1920, kHeight = 1080;

long long MillisecondsSince(Clock::time_point start, Clock::time_point end = Clock::now()) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(end - start).count();
}

// The host's own choice of theme, and a hive that makes the saver scroll one
// line of tall white letters across black, at a fixed height.
const char* const kHostSettings =
    "[org/mate/screensaver]\n"
    "mode='single'\n"
    "themes=['screensavers-lettrance']\n"
    "lock-enabled=false\n"
    "idle-activation-enabled=false\n";
const char* const kSaverSettings =
    "Windows Registry Editor Version 5.00\n\n"
    "[HKEY_CURRENT_USER\\Software\\Vandor\\ScreenSaver\\Lettrance]\n"
    "\"Text\"=\"HHHHHHHHHHHHHHHH\"\n"
    "\"FontSize\"=dword:000000c8\n"
    "\"FontColor\"=dword:00ffffff\n"
    "\"Speed\"=dword:00000014\n"
    "\"EffectsFlag\"=dword:00000000\n"
    "\"RandomYFlag\"=dword:00000000\n"
    "\"ColorFadingFlag\"=dword:00000000\n"
    "\"RandomColorFlag\"=dword:00000000\n"
    "\"DesktopFlag\"=dword:00000000\n"
    "\"DateTimeMode\"=dword:00000000\n";

// Every file below `folder` with its size and time of change.
std::map<std::string, std::pair<uintmax_t, fs::file_time_type>> Files(const fs::path& folder) {
  std::map<std::string, std::pair<uintmax_t, fs::file_time_type>> files;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    files[entry.path().string()] = {entry.is_regular_file() ? entry.file_size() : 0,
                                    entry.last_write_time()};
  }
  return files;
}

// The variables a process was started with.
std::map<std::string, std::string> Environment(int pid) {
  std::map<std::string, std::string> variables;
  std::ifstream in("/proc/" + std::to_string(pid) + "/environ", std::ios::binary);
  std::string entry;
  while (std::getline(in, entry, '\0')) {
    const size_t eq = entry.find('=');
    if (eq != std::string::npos) variables[entry.substr(0, eq)] = entry.substr(eq + 1);
  }
  return variables;
}

// The files `cmake --install` lays out for the prefix /usr, below a scratch
// folder that every user may read.
class ScratchInstall {
 public:
  ScratchInstall() {
    fs::permissions(dir_.Path(), fs::perms::owner_all | fs::perms::group_read |
                                     fs::perms::group_exec | fs::perms::others_read |
                                     fs::perms::others_exec);
    const std::string command = "DESTDIR='" + Root() + "' '" CMAKE_COMMAND "' --install '" +
                                LETTRANCE_BUILD_DIR "' --prefix /usr >'" +
                                dir_.File("install.log") + "' 2>&1";
    installed_ = std::system(command.c_str()) == 0;
  }
  bool Installed() const { return installed_; }
  std::string Root() const { return dir_.File("root"); }
  std::string Log() const { return TempDir::Read(dir_.File("install.log")); }

 private:
  TempDir dir_;
  bool installed_ = false;
};

// A MATE session's screen saver on `display`, with the install below
// `installRoot` laid over /usr: the user nobody, a home and a session bus of
// its own.
class MateSession {
 public:
  MateSession(const std::string& display, const std::string& installRoot)
      : installRoot_(installRoot), display_(display) {
    const fs::path work = dir_.Path();
    fs::create_directories(Home() / ".config/glib-2.0/settings");
    fs::create_directories(Home() / ".config/lettrance");
    TempDir::Write((Home() / ".config/glib-2.0/settings/keyfile").string(), kHostSettings);
    TempDir::Write(HivePath(), kSaverSettings);
    const auto runnable = fs::perms::owner_all | fs::perms::others_read | fs::perms::others_exec;
    // Runs in a mount namespace of its own: the install over /usr, then the
    // rest of the command line. Root runs it, so nobody may change it.
    fs::permissions(tools_.Path(), runnable);
    TempDir::Write(tools_.File("installed.sh"),
                   "#!/bin/sh\n"
                   "root=$1; shift\n"
                   "mount -t overlay overlay -o ro,lowerdir=\"$root/usr:/usr\" /usr || exit 125\n"
                   "exec \"$@\"\n");
    TempDir::Write(dir_.File("start.sh"),
                   "#!/bin/sh\n"
                   "echo $$ >\"$WORK/pid\"\n"
                   "printf %s \"$DBUS_SESSION_BUS_ADDRESS\" >\"$WORK/bus\"\n"
                   "exec " +
                       std::string(kDaemon) + " --no-daemon --debug >\"$WORK/daemon.log\" 2>&1\n");
    fs::permissions(tools_.File("installed.sh"), runnable);
    fs::permissions(dir_.File("start.sh"), runnable);
    environment_ = {"HOME=" + Home().string(), "DISPLAY=" + display, "PATH=/usr/bin:/bin",
                    "LANG=C.UTF-8", "GSETTINGS_BACKEND=keyfile", "WORK=" + work.string()};
    if (!HandToNobody(work)) return;
    process_ = Run({kBusSession, "--", dir_.File("start.sh")}, dir_.File("session.log"));
    for (auto start = Clock::now(); Clock::now() - start < 30s && process_->Running();) {
      if (!Bus().empty() && Command("--query")) return;
      std::this_thread::sleep_for(100ms);
    }
  }
  ~MateSession() {
    if (process_ == nullptr) return;
    Command("--exit");
    if (!process_->Wait(10s)) {
      const std::string pid = TempDir::Read(dir_.File("pid"));
      if (!pid.empty()) kill(std::stoi(pid), SIGKILL);
      process_->Wait(5s);
    }
    // Whatever of the session outlived it (after a failure, the preferences
    // and their preview): every process started with its WORK, and savers
    // on its display.
    for (const auto& entry : fs::directory_iterator("/proc")) {
      const std::string name = entry.path().filename().string();
      if (name.find_first_not_of("0123456789") != std::string::npos) continue;
      const auto variables = Environment(std::stoi(name));
      const auto work = variables.find("WORK");
      const auto display = variables.find("DISPLAY");
      std::error_code error;
      const bool saver = fs::read_symlink(entry.path() / "exe", error) == "/usr/bin/lettrance" &&
                         display != variables.end() && display->second == display_;
      if ((work != variables.end() && work->second == dir_.Path().string()) || saver) {
        kill(std::stoi(name), SIGKILL);
      }
    }
  }
  MateSession(const MateSession&) = delete;
  MateSession& operator=(const MateSession&) = delete;

  bool Ready() { return process_ != nullptr && process_->Running() && !Bus().empty(); }
  fs::path Home() const { return dir_.Path() / "home"; }
  std::string HivePath() const { return (Home() / ".config/lettrance/registry.reg").string(); }
  std::string Log() const { return TempDir::Read(dir_.File("daemon.log")); }

  // mate-screensaver-command with `what`, as the session's user.
  bool Command(const std::string& what) {
    auto command = Run({kCommand, what}, "/dev/null");
    return command->Wait(20s) == 0;
  }

  // A program of the session, as its user, in its environment, with the
  // install over /usr.
  std::unique_ptr<ChildProcess> Run(const std::vector<std::string>& program,
                                    const std::string& outputFile) {
    std::vector<std::string> args = {"--mount",          "--propagation", "private",
                                     tools_.File("installed.sh"), installRoot_, "/usr/sbin/runuser",
                                     "-u",               "nobody",        "--",
                                     "/usr/bin/env",     "-i"};
    args.insert(args.end(), environment_.begin(), environment_.end());
    if (!Bus().empty()) args.push_back("DBUS_SESSION_BUS_ADDRESS=" + Bus());
    args.insert(args.end(), program.begin(), program.end());
    return std::make_unique<ChildProcess>(kUnshare, args, std::map<std::string, std::string>{},
                                          outputFile, true);
  }

 private:
  std::string Bus() const { return TempDir::Read(dir_.File("bus")); }

  std::string installRoot_;
  std::string display_;
  TempDir tools_;  // root's
  TempDir dir_;    // the user's
  std::vector<std::string> environment_;
  std::unique_ptr<ChildProcess> process_;
};

// A running saver on `display` not in `known`: a process of the installed
// program (as the host's mount namespace names it) with that display; 0 when
// none has started within `limit`.
int WaitForSaver(const std::string& display, const std::set<int>& known,
                 std::chrono::seconds limit) {
  for (auto start = Clock::now(); Clock::now() - start < limit;) {
    for (const auto& entry : fs::directory_iterator("/proc")) {
      const std::string name = entry.path().filename().string();
      if (name.find_first_not_of("0123456789") != std::string::npos) continue;
      const int pid = std::stoi(name);
      std::error_code error;
      const fs::path exe = fs::read_symlink(entry.path() / "exe", error);
      if (error || exe != "/usr/bin/lettrance" || known.contains(pid)) continue;
      const auto variables = Environment(pid);
      const auto value = variables.find("DISPLAY");
      if (value != variables.end() && value->second == display) return pid;
    }
    std::this_thread::sleep_for(20ms);
  }
  return 0;
}

struct Area {
  int Left, Top, Width, Height;
};

// The part of the window on the screen (reading pixels off the screen is an
// X error, which ends the test program); empty when there is none.
Area WindowArea(XServer& x, Window window) {
  XWindowAttributes attributes{};
  int left = 0, top = 0;
  Window child = 0;
  if (!XGetWindowAttributes(x.Raw(), window, &attributes) ||
      !XTranslateCoordinates(x.Raw(), window, DefaultRootWindow(x.Raw()), 0, 0, &left, &top,
                             &child)) {
    return {0, 0, 0, 0};
  }
  const int right = std::min(left + attributes.width, x.ScreenWidth());
  const int bottom = std::min(top + attributes.height, x.ScreenHeight());
  left = std::max(left, 0);
  top = std::max(top, 0);
  if (right <= left || bottom <= top) return {0, 0, 0, 0};
  return {left, top, right - left, bottom - top};
}

// What the saver shows in the area `where` says while the line scrolls
// through it: the tallest letters seen, and whether they were seen in more
// than one place.
struct Letters {
  int Height = 0;
  bool Moved = false;
  Clock::time_point FirstSeen;
};
Letters WatchLetters(XServer& x, const std::function<Area()>& where, ExitWatch& saver) {
  Letters letters;
  std::optional<XServer::Box> first;
  int seen = 0;
  for (auto start = Clock::now(); Clock::now() - start < 20s && seen < 15 && !saver.Ended();) {
    const Area area = where();
    if (area.Height <= 0) break;  // the window is gone
    const XServer::Box box =
        x.BoundsOfPixelsOtherThan(area.Left, area.Top, area.Width, area.Height, 0x000000);
    if (!box.Empty()) {
      letters.Height = std::max(letters.Height, box.Height());
      if (!first) {
        first = box;
        letters.FirstSeen = Clock::now();
      }
      letters.Moved = letters.Moved || !(box == *first);
      ++seen;
    }
    std::this_thread::sleep_for(50ms);
  }
  return letters;
}

class MateScreensaverTest : public ::testing::Test {
 protected:
  void SetUp() override {
#ifdef LETTRANCE_SANITIZED
    GTEST_SKIP() << "the host starts its saver with none of our environment, so a sanitizer "
                    "build's options and leak suppressions cannot reach it";
#endif
    for (const char* program : {kDaemon, kCommand, kPreferences, kBusSession, kUnshare}) {
      if (!fs::exists(program)) GTEST_SKIP() << program << " is not installed";
    }
    if (geteuid() != 0 || getpwnam("nobody") == nullptr || !fs::exists("/usr/sbin/runuser")) {
      GTEST_SKIP() << "laying the install over /usr for the host needs root, the user nobody "
                      "and runuser";
    }
    screen_ = std::make_unique<ScratchDisplay>(kWidth, kHeight, false);
    ASSERT_FALSE(screen_->Name().empty()) << "no X server for the test";
    x_ = std::make_unique<XServer>(screen_->Name());
    ASSERT_TRUE(x_->Connected());
    install_ = std::make_unique<ScratchInstall>();
    ASSERT_TRUE(install_->Installed()) << install_->Log();
  }

  // Blanks the screen: the host must start the installed saver in its
  // window, and the saver must draw moving letters. Returns the watch on the
  // saver (null when none started) and the letters' height.
  std::unique_ptr<ExitWatch> Activate(MateSession& session, std::set<int>& known, int& height) {
    height = 0;
    const auto asked = Clock::now();
    EXPECT_TRUE(session.Command("--activate")) << session.Log();
    const int pid = WaitForSaver(screen_->Name(), known, 30s);
    if (pid == 0) {
      ADD_FAILURE() << "the host started no saver\n" << session.Log();
      return nullptr;
    }
    known.insert(pid);
    auto watch = std::make_unique<ExitWatch>(pid);
    EXPECT_TRUE(Environment(pid).contains("XSCREENSAVER_WINDOW")) << "started without a window";
    const Letters letters = WatchLetters(*x_, [] { return Area{0, 0, kWidth, kHeight}; }, *watch);
    std::printf("saver %d showed letters %lld ms after the activation was asked for\n", pid,
                MillisecondsSince(asked, letters.FirstSeen));
    EXPECT_GT(letters.Height, 0) << "no letters on the screen\n" << session.Log();
    EXPECT_TRUE(letters.Moved) << "the letters stand still";
    height = letters.Height;
    return watch;
  }

  // The saver's end: by itself within `limit`, cleanly.
  static void ExpectCleanEnd(ExitWatch& watch, Clock::time_point asked, const char* after) {
    if (!watch.Traced()) {
      std::printf("the system does not let us trace the saver: its exit code is not checked\n");
    }
    const std::optional<int> code = watch.Wait(10000ms);
    if (watch.Traced()) {
      ASSERT_TRUE(code) << "the saver still runs " << after;
      EXPECT_EQ(*code, 0) << "the saver's end " << after;
      std::printf("saver ended with %d, %lld ms %s was asked for\n", *code,
                  MillisecondsSince(asked, watch.EndedAt()), after);
    }
  }

  // The saver's own messages in the host's log; it should have none.
  static void ExpectNoSaverMessages(const std::string& log) {
    size_t at = 0;
    const std::string mark = "command output: ";
    while ((at = log.find(mark, at)) != std::string::npos) {
      at += mark.size();
      const std::string line = log.substr(at, log.find('\n', at) - at);
      EXPECT_TRUE(line.find_first_not_of(" \t\r") == std::string::npos)
          << "the saver said: " << line;
    }
    for (const char* crash : {"Sanitizer", "runtime error", "Could not find information"}) {
      EXPECT_EQ(log.find(crash), std::string::npos) << crash << " in the host's log:\n" << log;
    }
  }

  // Made once the test is known to run.
  std::unique_ptr<ScratchDisplay> screen_;
  std::unique_ptr<XServer> x_;
  std::unique_ptr<ScratchInstall> install_;
};

TEST_F(MateScreensaverTest, ListedStartedOnActivationEndedOnDeactivationWritingNothing) {
  MateSession session(screen_->Name(), install_->Root());
  ASSERT_TRUE(session.Ready()) << session.Log();
  const auto before = Files(session.Home());
  std::set<int> known;
  int height = 0;
  const std::unique_ptr<ExitWatch> saver = Activate(session, known, height);
  ASSERT_NE(saver, nullptr);

  const auto asked = Clock::now();
  ASSERT_TRUE(session.Command("--deactivate"));
  ExpectCleanEnd(*saver, asked, "after the deactivation");
  EXPECT_TRUE(Files(session.Home()) == before) << "files in the home were written";
  ExpectNoSaverMessages(session.Log());
}

TEST_F(MateScreensaverTest, PreferencesPreviewDrawsScaledDownAndEndsWithThePreferences) {
  MateSession session(screen_->Name(), install_->Root());
  ASSERT_TRUE(session.Ready()) << session.Log();
  std::set<int> known;
  int fullHeight = 0;
  const std::unique_ptr<ExitWatch> saver = Activate(session, known, fullHeight);
  ASSERT_NE(saver, nullptr);
  ASSERT_GT(fullHeight, 40) << "no letters to compare with";
  const auto deactivated = Clock::now();
  ASSERT_TRUE(session.Command("--deactivate"));
  ExpectCleanEnd(*saver, deactivated, "after the deactivation");
  const std::string hive = TempDir::Read(session.HivePath());

  TempDir output;
  auto preferences = session.Run({kPreferences}, output.File("preferences.log"));
  // The preferences may start their preview more than once, and their
  // window settles after it has shown (the pane moves and shrinks): the
  // preview is the copy that covers its pane, once the pane stays put, with
  // its black background.
  std::unique_ptr<ExitWatch> preview;
  Window window = 0;
  Area pane{0, 0, 0, 0};
  for (auto start = Clock::now(); Clock::now() - start < 30s && !pane.Height;) {
    const int pid = WaitForSaver(screen_->Name(), known, 30s);
    ASSERT_NE(pid, 0) << "the preferences show no preview of the theme";
    known.insert(pid);
    preview = std::make_unique<ExitWatch>(pid);
    const std::map<std::string, std::string> variables = Environment(pid);
    ASSERT_TRUE(variables.contains("XSCREENSAVER_WINDOW"));
    window = std::stoul(variables.at("XSCREENSAVER_WINDOW"), nullptr, 0);
    Area before{0, 0, 0, 0};
    int steady = 0;
    while (Clock::now() - start < 30s && !preview->Ended() && steady < 20) {
      const Area area = WindowArea(*x_, window);
      const bool same = area.Left == before.Left && area.Top == before.Top &&
                        area.Width == before.Width && area.Height == before.Height;
      const bool covered = area.Height > 0 && x_->CountPixelsEqualTo(area.Left, area.Top,
                                                                      area.Width, area.Height,
                                                                      0) > area.Width * area.Height / 2;
      steady = same && covered ? steady + 1 : 0;
      before = area;
      std::this_thread::sleep_for(50ms);
    }
    if (steady >= 20) {
      pane = before;
    } else {
      std::printf("preview copy %d ended (%d) before it drew\n", pid,
                  preview->Wait(0ms).value_or(999));
    }
  }
  std::printf("preview pane %d x %d at %d, %d\n", pane.Width, pane.Height, pane.Left, pane.Top);
  ASSERT_GT(pane.Height, 0) << "no preview drew into its pane";
  ASSERT_LT(pane.Height, kHeight / 2) << "not a preview pane";
  const Letters letters = WatchLetters(*x_, [&] { return WindowArea(*x_, window); }, *preview);
  std::printf("letters %d pixels high full screen, %d in the pane\n", fullHeight, letters.Height);
  EXPECT_TRUE(letters.Moved) << "the preview stands still";
  // Scaled by the pane's height over the screen's, give or take the rounding
  // of the letters' edge pixels.
  EXPECT_GE(letters.Height * kHeight * 100, fullHeight * pane.Height * 80);
  EXPECT_LE(letters.Height * kHeight * 100, fullHeight * pane.Height * 120);

  // Escape closes the preferences, as their Close button does.
  const Window dialog = x_->FindWindowNamed("Screensaver Preferences");
  ASSERT_NE(dialog, 0u);
  screen_->Xdotool("windowfocus --sync " + std::to_string(dialog));
  const auto closed = Clock::now();
  screen_->Xdotool("key Escape");
  EXPECT_TRUE(preferences->Wait(20s)) << "the preferences did not close";
  ExpectCleanEnd(*preview, closed, "after closing the preferences");
  EXPECT_EQ(TempDir::Read(session.HivePath()), hive) << "the saver's settings were written";
  EXPECT_FALSE(fs::exists(session.Home() / ".local/share/applications/Vandor"))
      << "a menu entry was made";
  ExpectNoSaverMessages(session.Log());
}

}  // namespace
