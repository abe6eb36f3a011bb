// The real program in hosted mode, as a screen-saver host or its settings
// tool runs it: drawing into a window that another client made, ending on
// signals and with the window, following resizes, drawing over the host's
// desktop picture; and the full-screen saver on two monitors. Time bounds are
// generous limits against hangs; measured times are printed, not asserted.
#include <X11/Xatom.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <regex>
#include <thread>

#include "tests/integration/ChildProcess.h"
#include "tests/integration/ScratchDisplay.h"
#include "tests/integration/XServer.h"
#include "tests/support/TempDir.h"

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

const char* const kSettingsKey = "Software\\Vandor\\ScreenSaver\\Lettrance";
constexpr uint32_t kGrey = 0x303030;

class HostedX11Test : public ::testing::Test {
 protected:
  void SetUp() override {
    if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "needs an X server";
    ASSERT_TRUE(x.Connected());
  }

  std::string HivePath() const { return home.File("config/lettrance/registry.reg"); }

  // A hive as a previous start of this version leaves it.
  void SeedHive() {
    std::filesystem::create_directories(home.Path() / "config/lettrance");
    TempDir::Write(HivePath(), "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\" +
                                   std::string(kSettingsKey) +
                                   "]\n\"ExeCounter\"=dword:00000001\n"
                                   "\"ExeVersion\"=\"1.06 - 17 Jan 2001\"\n");
  }

  std::unique_ptr<ChildProcess> Start(const std::vector<std::string>& args,
                                      std::map<std::string, std::string> env = {}) {
    env.merge(std::map<std::string, std::string>{{"XDG_CONFIG_HOME", home.File("config")},
                                                 {"XDG_DATA_HOME", home.File("data")},
                                                 {"XDG_RUNTIME_DIR", home.File("")},
                                                 {"QT_QPA_PLATFORM", "xcb"},
                                                 {"DBUS_SESSION_BUS_ADDRESS", kNoSessionBus},
                                                 {"LETTRANCE_FRAME_STATS", "1"}});
    auto child = std::make_unique<ChildProcess>(LETTRANCE_EXE, args, env, home.File("stderr.txt"));
    EXPECT_TRUE(child->Started());
    return child;
  }

  // Waits until the area shows something other than `rgb` (the host window's
  // own colour): the program has drawn into it.
  bool WaitForDrawing(ChildProcess& child, int left, int top, int width, int height,
                      uint32_t rgb = kGrey) {
    for (auto start = Clock::now(); Clock::now() - start < 15s && child.Running();) {
      if (x.CountPixelsOtherThan(left, top, width, height, rgb) > 0) return true;
      std::this_thread::sleep_for(20ms);
    }
    return false;
  }

  // Mapped windows directly below the root, ours among them or not.
  int ViewableTopLevelWindows() {
    Window root = 0, parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    int viewable = 0;
    if (XQueryTree(x.Raw(), DefaultRootWindow(x.Raw()), &root, &parent, &children, &count)) {
      for (unsigned i = 0; i < count; ++i) {
        XWindowAttributes attributes{};
        if (XGetWindowAttributes(x.Raw(), children[i], &attributes) &&
            attributes.map_state == IsViewable) {
          ++viewable;
        }
      }
      XFree(children);
    }
    return viewable;
  }

  // "N frames in M ms" as the program prints it at a clean end.
  std::optional<std::pair<int, int>> FrameStats() {
    std::smatch match;
    const std::string text = TempDir::Read(home.File("stderr.txt"));
    if (!std::regex_search(text, match, std::regex("(\\d+) frames in (\\d+) ms"))) return {};
    return std::make_pair(std::stoi(match[1]), std::stoi(match[2]));
  }

  TempDir home;
  XServer x;
};

TEST_F(HostedX11Test, WindowIdDrawsIntoThatWindowOnlyWithNothingOfItsOwn) {
  SeedHive();
  const Window host = x.CreateWindow(60, 40, 200, 150, kGrey);
  const int windowsBefore = ViewableTopLevelWindows();
  const long rightBefore = x.CountPixelsOtherThan(300, 0, 400, 400, 0x000000);
  const long belowBefore = x.CountPixelsOtherThan(0, 250, 300, 150, 0x000000);
  auto saver = Start({"--window-id", "0x" + [&] {
                        char hex[16];
                        std::snprintf(hex, sizeof hex, "%lx", host);
                        return std::string(hex);
                      }()});
  ASSERT_TRUE(WaitForDrawing(*saver, 60, 40, 200, 150)) << "nothing drawn into the window";
  std::this_thread::sleep_for(300ms);
  EXPECT_EQ(ViewableTopLevelWindows(), windowsBefore) << "a window of its own appeared";
  // The rest of the screen stays as it was: no full-screen window.
  EXPECT_EQ(x.CountPixelsOtherThan(300, 0, 400, 400, 0x000000), rightBefore);
  EXPECT_EQ(x.CountPixelsOtherThan(0, 250, 300, 150, 0x000000), belowBefore);
  saver->Kill(SIGTERM);
  EXPECT_EQ(saver->Wait(5s), 0);
  EXPECT_TRUE(FrameStats()) << "no clean end: " << TempDir::Read(home.File("stderr.txt"));
  x.Destroy(host);
}

TEST_F(HostedX11Test, EndsCleanlyOnTermIntAndTheWindowsDestruction) {
  SeedHive();
  for (const int end : {SIGTERM, SIGINT, 0}) {
    const Window host = x.CreateWindow(0, 0, 160, 120, kGrey);
    auto saver = Start({}, {{"XSCREENSAVER_WINDOW", std::to_string(host)}});
    ASSERT_TRUE(WaitForDrawing(*saver, 0, 0, 160, 120)) << "end " << end;
    const auto asked = Clock::now();
    if (end != 0) {
      saver->Kill(end);
    } else {
      x.Destroy(host);
    }
    EXPECT_EQ(saver->Wait(5s), 0) << "end " << end;
    std::printf("ended %lld ms after %s\n",
                static_cast<long long>(
                    std::chrono::duration_cast<std::chrono::milliseconds>(saver->EndedAt() - asked)
                        .count()),
                end == 0 ? "the window was destroyed" : strsignal(end));
    if (end != 0) x.Destroy(host);
  }
}

// A host may destroy its window and send SIGTERM at once (MATE's preferences
// do when they close): a signal that arrives while the copy is already on
// its way out must not cut that short.
TEST_F(HostedX11Test, ATermSignalDuringItsEndStillEndsItCleanly) {
  SeedHive();
  for (int round = 0; round < 3; ++round) {
    const Window host = x.CreateWindow(0, 0, 160, 120, kGrey);
    auto saver = Start({}, {{"XSCREENSAVER_WINDOW", std::to_string(host)}});
    ASSERT_TRUE(WaitForDrawing(*saver, 0, 0, 160, 120));
    x.Destroy(host);
    // SIGTERM every millisecond until it has ended.
    std::optional<int> code;
    for (auto start = Clock::now(); !code && Clock::now() - start < 10s;) {
      saver->Kill(SIGTERM);
      code = saver->Wait(1ms);
    }
    EXPECT_EQ(code, 0) << "round " << round;
  }
}

TEST_F(HostedX11Test, FollowsTheWindowWhenItGrowsAndRepaintsWhatWasCovered) {
  SeedHive();
  const Window host = x.CreateWindow(0, 0, 200, 150, kGrey);
  // Plain scrolling at a fixed height: most rows of the picture never change.
  auto saver = Start({"--root", "--text", "i", "--no-special-effects", "--no-random-y"},
                     {{"XSCREENSAVER_WINDOW", std::to_string(host)}});
  ASSERT_TRUE(WaitForDrawing(*saver, 0, 0, 200, 150));
  // The server fills what is uncovered with the window's grey; the
  // animation's black background must cover it again once the program has
  // noticed: after a resize, and after another window went away.
  auto greyGoneFrom = [&](int left, int top, int width, int height) {
    for (auto start = Clock::now(); Clock::now() - start < 15s;) {
      if (x.CountPixelsEqualTo(left, top, width, height, kGrey) < width * height / 10) return true;
      std::this_thread::sleep_for(50ms);
    }
    return false;
  };
  XResizeWindow(x.Raw(), host, 400, 300);
  XSync(x.Raw(), False);
  EXPECT_TRUE(greyGoneFrom(200, 150, 200, 150)) << "the program did not follow the resize";
  const Window cover = x.CreateWindow(0, 0, 400, 300, 0xFFFFFF);
  std::this_thread::sleep_for(200ms);
  x.Destroy(cover);
  EXPECT_TRUE(greyGoneFrom(0, 0, 400, 300)) << "the uncovered window was not repainted";
  saver->Kill(SIGTERM);
  EXPECT_EQ(saver->Wait(5s), 0);
  x.Destroy(host);
}

TEST_F(HostedX11Test, AfterBeingStoppedItDoesNotCatchUpOnMissedFrames) {
  SeedHive();
  const Window host = x.CreateWindow(0, 0, 160, 120, kGrey);
  auto saver = Start({"--window-id", std::to_string(host), "--interval", "25"});
  ASSERT_TRUE(WaitForDrawing(*saver, 0, 0, 160, 120));
  const auto stopped = Clock::now();
  saver->Kill(SIGSTOP);
  std::this_thread::sleep_for(1500ms);
  saver->Kill(SIGCONT);
  const auto stoppedFor =
      std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - stopped);
  std::this_thread::sleep_for(500ms);
  EXPECT_TRUE(saver->Running());
  saver->Kill(SIGTERM);
  ASSERT_EQ(saver->Wait(5s), 0);
  const auto stats = FrameStats();
  ASSERT_TRUE(stats);
  // At most one frame per 25 ms of the time it was running; catching up on
  // the stopped time would add about 60 frames.
  const int running = stats->second - static_cast<int>(stoppedFor.count());
  std::printf("%d frames in %d ms, %lld ms of it stopped\n", stats->first, stats->second,
              static_cast<long long>(stoppedFor.count()));
  EXPECT_LE(stats->first, running / 25 + 10);
  x.Destroy(host);
}

TEST_F(HostedX11Test, DesktopOptionDrawsOverTheHostsScreenshotNotTheScreen) {
  SeedHive();
  const Window red = x.CreateWindow(400, 0, 300, 300, 0xFF0000);  // on the real screen
  for (const bool screenshot : {true, false}) {
    const Window host = x.CreateWindow(40, 40, 200, 150, kGrey);
    Pixmap picture = None;
    if (screenshot) {
      // What a host saves before blanking: here a plain blue desktop.
      picture = XCreatePixmap(x.Raw(), host, 200, 150, 24);
      GC gc = XCreateGC(x.Raw(), picture, 0, nullptr);
      XSetForeground(x.Raw(), gc, 0x0000FF);
      XFillRectangle(x.Raw(), picture, gc, 0, 0, 200, 150);
      XFreeGC(x.Raw(), gc);
      XChangeProperty(x.Raw(), host, XInternAtom(x.Raw(), "_SCREENSAVER_SCREENSHOT", False),
                      XA_PIXMAP, 32, PropModeReplace, reinterpret_cast<unsigned char*>(&picture),
                      1);
      XSync(x.Raw(), False);
    }
    auto saver =
        Start({"--desktop", "--text", "i"}, {{"XSCREENSAVER_WINDOW", std::to_string(host)}});
    ASSERT_TRUE(WaitForDrawing(*saver, 40, 40, 200, 150));
    std::this_thread::sleep_for(300ms);
    const long blue = x.CountPixelsEqualTo(40, 40, 200, 150, 0x0000FF);
    const long redInside = x.CountPixelsEqualTo(40, 40, 200, 150, 0xFF0000);
    if (screenshot) {
      EXPECT_GT(blue, 200 * 150 / 2) << "the host's screenshot is not the background; "
                                     << TempDir::Read(home.File("stderr.txt"));
    } else {
      EXPECT_EQ(blue, 0);
      EXPECT_LT(redInside, 200 * 150 / 100) << "the real screen was grabbed instead of black";
      EXPECT_GT(x.CountPixelsEqualTo(40, 40, 200, 150, 0x000000), 200 * 150 / 2);
    }
    saver->Kill(SIGTERM);
    EXPECT_EQ(saver->Wait(5s), 0);
    x.Destroy(host);
    if (picture != None) XFreePixmap(x.Raw(), picture);
  }
  x.Destroy(red);
}

TEST_F(HostedX11Test, CopiesRunSideBySideAndWriteNothing) {
  // Neither the options of the run nor a counted start reach the settings,
  // whether there are settings already or none at all.
  for (const bool seeded : {true, false}) {
    if (seeded) SeedHive();
    const std::string before = TempDir::Read(HivePath());
    const Window left = x.CreateWindow(0, 0, 160, 120, kGrey);
    const Window right = x.CreateWindow(200, 0, 160, 120, kGrey);
    auto one =
        Start({"--speed", "17", "--text", "one"}, {{"XSCREENSAVER_WINDOW", std::to_string(left)}});
    ASSERT_TRUE(WaitForDrawing(*one, 0, 0, 160, 120));
    auto two = Start({"-root", "--desktop"}, {{"XSCREENSAVER_WINDOW", std::to_string(right)}});
    ASSERT_TRUE(WaitForDrawing(*two, 200, 0, 160, 120)) << "the second copy did not draw";
    EXPECT_TRUE(one->Running());
    one->Kill(SIGTERM);
    two->Kill(SIGTERM);
    EXPECT_EQ(one->Wait(5s), 0);
    EXPECT_EQ(two->Wait(5s), 0);
    EXPECT_EQ(TempDir::Read(HivePath()), before) << "the settings were written";
    EXPECT_EQ(std::filesystem::exists(HivePath()), seeded);
    EXPECT_FALSE(std::filesystem::exists(home.File("data/applications")))
        << "a menu entry was made";
    x.Destroy(left);
    x.Destroy(right);
    std::filesystem::remove_all(home.File("config"));
  }
}

// A host window as large as the screen is a screen of its own; a smaller one
// (a settings tool's preview pane) shows the same picture scaled down by its
// height over the screen's, as /p does.
TEST_F(HostedX11Test, AWindowSmallerThanTheScreenShowsTheLettersScaledDown) {
  SeedHive();
  const int width = x.ScreenWidth(), height = x.ScreenHeight();
  // The tallest letters seen in the area while the line scrolls through it.
  auto letterHeight = [&](ChildProcess& saver, int areaWidth, int areaHeight) {
    int tallest = 0, seen = 0;
    for (auto start = Clock::now(); Clock::now() - start < 15s && seen < 15 && saver.Running();) {
      const XServer::Box box = x.BoundsOfPixelsOtherThan(0, 0, areaWidth, areaHeight, 0x000000);
      if (!box.Empty()) {
        tallest = std::max(tallest, box.Height());
        ++seen;
      }
      std::this_thread::sleep_for(50ms);
    }
    return tallest;
  };
  const std::vector<std::string> plainLine = {
      "--text",           "HHHHHHHHHHHHHHHH", "--font-size", "200",  "--color",   "#FFFFFF",
      "--speed",          "20",               "--no-special-effects", "--no-random-y",
      "--no-color-fading", "--no-random-color", "--no-desktop", "--date-time", "none"};
  int heights[2] = {0, 0};
  for (const int divisor : {1, 4}) {
    const int areaWidth = width / divisor, areaHeight = height / divisor;
    const Window host = x.CreateWindow(0, 0, areaWidth, areaHeight, kGrey);
    auto saver = Start(plainLine, {{"XSCREENSAVER_WINDOW", std::to_string(host)}});
    ASSERT_TRUE(WaitForDrawing(*saver, 0, 0, areaWidth, areaHeight));
    heights[divisor == 1 ? 0 : 1] = letterHeight(*saver, areaWidth, areaHeight);
    saver->Kill(SIGTERM);
    EXPECT_EQ(saver->Wait(5s), 0);
    x.Destroy(host);
  }
  std::printf("letters %d pixels high on the whole screen, %d in a quarter-size window\n",
              heights[0], heights[1]);
  ASSERT_GT(heights[0], 40) << "no letters on the whole screen";
  // A quarter of the height, give or take the edge pixels' rounding.
  EXPECT_GE(heights[1] * 100, heights[0] * 20);
  EXPECT_LE(heights[1] * 100, heights[0] * 30);
}

// Hosts start their savers without XDG_RUNTIME_DIR (the toolkit reads an
// empty one as unset): nothing is said about it, nor anything else.
TEST_F(HostedX11Test, WithoutARuntimeFolderItStartsWithoutAWord) {
  SeedHive();
  const Window host = x.CreateWindow(0, 0, 160, 120, kGrey);
  auto saver = Start({"--root"}, {{"XSCREENSAVER_WINDOW", std::to_string(host)},
                                  {"XDG_RUNTIME_DIR", ""},
                                  {"LETTRANCE_FRAME_STATS", ""}});
  ASSERT_TRUE(WaitForDrawing(*saver, 0, 0, 160, 120));
  saver->Kill(SIGTERM);
  EXPECT_EQ(saver->Wait(5s), 0);
  EXPECT_EQ(TempDir::Read(home.File("stderr.txt")), "");
  x.Destroy(host);
}

TEST_F(HostedX11Test, AWindowThatDoesNotExistIsAnErrorNotAHang) {
  auto saver = Start({"--window-id", "0xFFFFFFF0"});
  EXPECT_EQ(saver->Wait(10s), 1);
  auto garbage = Start({}, {{"XSCREENSAVER_WINDOW", "nonsense"}});
  EXPECT_EQ(garbage->Wait(10s), 2);
}

// The full-screen saver on two monitors: the second goes black, and input on
// it ends the saver as on the first.
TEST_F(HostedX11Test, FullScreenSaverBlacksOutTheSecondMonitor) {
  for (const std::string input : {"click 1", "key x"}) {
    ScratchDisplay screens(640, 480, true);
    if (screens.Name().empty()) GTEST_SKIP() << "no Xvfb/Xephyr for a two-monitor server";
    XServer two(screens.Name());
    ASSERT_TRUE(two.Connected());
    ASSERT_EQ(two.ScreenWidth(), 1280);
    two.CreateWindow(700, 40, 500, 400, 0xFF0000);  // something on the second monitor
    SeedHive();
    auto saver = Start({"/s"}, {{"DISPLAY", screens.Name()}});
    bool drawn = false, dark = false;
    for (auto start = Clock::now(); Clock::now() - start < 15s && !(drawn && dark);) {
      std::this_thread::sleep_for(50ms);
      drawn = two.CountPixelsOtherThan(0, 0, 640, 480, 0x000000) > 0;
      dark = two.CountPixelsOtherThan(640, 0, 640, 480, 0x000000) == 0;
    }
    EXPECT_TRUE(drawn) << "no animation on the first monitor";
    EXPECT_TRUE(dark) << "the second monitor is not black";
    screens.Xdotool("mousemove 900 240");  // the reference point
    std::this_thread::sleep_for(300ms);
    screens.Xdotool(input);
    EXPECT_EQ(saver->Wait(10s), 0) << input << " on the second monitor did not end the saver";
  }
}

}  // namespace
