// Lettrance in a Wayland session, as its users run it there: the real
// program under headless sway with two outputs, played with swaymsg (pointer,
// focus), wtype (keys) and read back with grim. Time bounds are generous
// limits against hangs, never expectations.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <set>
#include <thread>

#include "tests/integration/SwaySession.h"

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

namespace {

const char* const kSettingsKey = "Software\\Vandor\\ScreenSaver\\Lettrance";

int PixelsOtherThan(const QImage& image, QRgb colour) {
  int count = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) count += (image.pixel(x, y) & 0xffffff) != colour;
  }
  return count;
}

int Occurrences(const std::string& text, const std::string& part) {
  int count = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

class WaylandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* tool : {"/usr/bin/sway", "/usr/bin/swaymsg", "/usr/bin/grim", "/usr/bin/wtype",
                             "/usr/bin/swayidle"}) {
      if (!fs::exists(tool)) GTEST_SKIP() << tool << " is not installed";
    }
    if (geteuid() == 0 && !fs::exists("/usr/sbin/runuser")) GTEST_SKIP() << "no runuser";
  }

  // The hive a previous start of this version leaves: no about box.
  static void SeedHive(const SwaySession& session) {
    const fs::path folder = fs::path(session.Home()) / "config/lettrance";
    fs::create_directories(folder);
    TempDir::Write((folder / "registry.reg").string(),
                   "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\" +
                       std::string(kSettingsKey) +
                       "]\n\"ExeCounter\"=dword:00000001\n"
                       "\"ExeVersion\"=\"1.06 - 17 Jan 2001\"\n");
    // The session runs as nobody when the tests run as root.
    if (geteuid() == 0) {
      EXPECT_TRUE(HandToNobody(folder.parent_path()));
    }
  }

  // The saver as the session's user starts it: QT_QPA_PLATFORM unset.
  static std::unique_ptr<ChildProcess> StartSaver(const SwaySession& session,
                                                  const std::vector<std::string>& options,
                                                  const std::string& path = "/usr/bin:/bin",
                                                  const std::string& errors = "saver.err") {
    std::vector<std::string> command{session.Program(), "/s"};
    command.insert(command.end(), options.begin(), options.end());
    return session.Start({"XDG_CONFIG_HOME=" + session.Home() + "/config",
                          "XDG_DATA_HOME=" + session.Home() + "/data", "PATH=" + path},
                         command, errors);
  }

  // Waits until `count` of our windows are there (and no other of ours).
  static std::vector<SwayWindow> WaitForWindows(const SwaySession& session, size_t count,
                                                const std::string& title = "Lettrance") {
    std::vector<SwayWindow> windows;
    for (auto start = Clock::now(); Clock::now() - start < 20s;) {
      windows = session.Windows();
      const size_t titled = static_cast<size_t>(std::count_if(
          windows.begin(), windows.end(), [&](const SwayWindow& w) { return w.Title == title; }));
      if (titled == count && windows.size() == count) break;
      std::this_thread::sleep_for(50ms);
    }
    return windows;
  }

  // Both outputs covered by one full-screen window each, nothing else of ours.
  static void ExpectBothOutputsCovered(const SwaySession& session) {
    const std::vector<SwayWindow> windows = WaitForWindows(session, 2);
    const std::map<std::string, SwayRect> outputs = session.Outputs();
    ASSERT_EQ(outputs.size(), 2u);
    ASSERT_EQ(windows.size(), 2u) << session.Shell("swaymsg -t get_tree");
    std::set<std::string> covered;
    for (const SwayWindow& window : windows) {
      EXPECT_EQ(window.Title, "Lettrance");
      EXPECT_TRUE(window.FullScreen) << window.Output;
      EXPECT_FALSE(window.Floating) << window.Output;
      ASSERT_TRUE(outputs.count(window.Output)) << window.Output;
      EXPECT_EQ(window.Rect, outputs.at(window.Output)) << window.Output;
      covered.insert(window.Output);
    }
    EXPECT_EQ(covered, (std::set<std::string>{"HEADLESS-1", "HEADLESS-2"}));
  }

  // Letters on the primary output that move between two reads; the other
  // output black.
  static void ExpectDrawingOnThePrimaryOnly(const SwaySession& session) {
    QImage first, second;
    for (auto start = Clock::now(); Clock::now() - start < 20s;) {
      first = session.Pixels("HEADLESS-1");
      if (!first.isNull() && PixelsOtherThan(first, 0x000000) > 0) break;
      std::this_thread::sleep_for(50ms);
    }
    ASSERT_FALSE(first.isNull());
    EXPECT_GT(PixelsOtherThan(first, 0x000000), 0) << "no letters on the primary output";
    for (auto start = Clock::now(); Clock::now() - start < 20s;) {
      std::this_thread::sleep_for(100ms);
      second = session.Pixels("HEADLESS-1");
      if (second != first) break;
    }
    EXPECT_NE(second, first) << "the letters do not move";
    // Headless sway 1.7 draws the second output anew only when the pointer
    // moves there. Sway draws the pointer into the output's pixels: black
    // there says the pointer is hidden too.
    session.Shell("swaymsg seat seat0 cursor set 1000 300");
    QImage other;
    for (auto start = Clock::now(); Clock::now() - start < 20s;) {
      other = session.Pixels("HEADLESS-2");
      if (!other.isNull() && PixelsOtherThan(other, 0x000000) == 0) break;
      std::this_thread::sleep_for(50ms);
    }
    ASSERT_EQ(other.size(), QSize(640, 480));
    EXPECT_EQ(PixelsOtherThan(other, 0x000000), 0)
        << "the second output is not black, or the pointer shows over it";
  }

  // The saver shown as it should be: both outputs covered, letters moving on
  // the primary one, black without a pointer on the other.
  static void ExpectTheSaverShown(const SwaySession& session) {
    ExpectBothOutputsCovered(session);
    ExpectDrawingOnThePrimaryOnly(session);
  }

  // A key typed into the saver ends it with exit code 0.
  static void ExpectAKeyEndsIt(const SwaySession& session, ChildProcess& saver) {
    FocusTheSaver(session);
    session.Shell("wtype a");
    EXPECT_EQ(saver.Wait(20s), std::optional<int>(0)) << TempDir::Read(session.File("saver.err"));
  }

  // Keys go to the focused window: the saver's, on the primary output.
  static void FocusTheSaver(const SwaySession& session) {
    for (const SwayWindow& window : session.Windows()) {
      if (window.Output == "HEADLESS-1" && window.FullScreen) {
        session.Shell("swaymsg '[con_id=" + std::to_string(window.Id) + "] focus'");
      }
    }
  }

  // Still running a while after what should not end it.
  static bool StillRuns(ChildProcess& saver) { return !saver.Wait(1500ms).has_value(); }
};

TEST_F(WaylandTest, CoversBothOutputsDrawsOnThePrimaryAndAKeyEndsIt) {
  SwaySession session;
  ASSERT_TRUE(session.Ready()) << session.Log();
  SeedHive(session);
  // The pointer on the second output, where it shows in the output's
  // pixels (over the desktop's grey there): black there says it is hidden.
  session.Shell("swaymsg seat seat0 cursor set 960 240");
  const QImage before = session.Pixels("HEADLESS-2");
  ASSERT_GT(PixelsOtherThan(before, before.pixel(0, 0) & 0xffffff), 0) << "no pointer to hide";

  auto saver = StartSaver(session, {"--text", "Wayland", "--no-desktop"});
  ExpectTheSaverShown(session);
  ASSERT_TRUE(saver->Running()) << TempDir::Read(session.File("saver.err"));

  ExpectAKeyEndsIt(session, *saver);
  EXPECT_TRUE(WaitForWindows(session, 0).empty());
}

TEST_F(WaylandTest, APointerMoveOfThreePixelsOnBothAxesEndsIt) {
  SwaySession session;
  ASSERT_TRUE(session.Ready()) << session.Log();
  SeedHive(session);
  auto saver = StartSaver(session, {"--text", "Wayland", "--no-desktop"});
  ExpectTheSaverShown(session);
  // Back on the saver: the jump is no move, the pointer enters it there.
  session.Shell("swaymsg seat seat0 cursor set 320 240");
  // The first move is where the pointer is; the distance counts from there.
  struct Step {
    int dx, dy;
    bool ends;
  };
  const Step steps[] = {
      {1, 1, false},  // where the pointer is
      {2, 2, false},  // 2 and 2 from there
      {3, 0, false},  // 5 and 2
      {0, 1, true},   // 5 and 3
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(testing::Message() << "move " << step.dx << " " << step.dy);
    session.Shell("swaymsg seat seat0 cursor move " + std::to_string(step.dx) + " " +
                  std::to_string(step.dy));
    if (step.ends) {
      EXPECT_EQ(saver->Wait(20s), std::optional<int>(0));
    } else {
      EXPECT_TRUE(StillRuns(*saver));
    }
  }
}

TEST_F(WaylandTest, APressOnTheOtherOutputEndsIt) {
  SwaySession session;
  ASSERT_TRUE(session.Ready()) << session.Log();
  SeedHive(session);
  session.Shell("swaymsg seat seat0 cursor set 960 240");
  auto saver = StartSaver(session, {"--text", "Wayland", "--no-desktop"});
  ExpectTheSaverShown(session);
  session.Shell(
      "swaymsg seat seat0 cursor press button1; swaymsg seat seat0 cursor release button1");
  EXPECT_EQ(saver->Wait(20s), std::optional<int>(0));
}

TEST_F(WaylandTest, SOpensTheDialogAboveTheSaverWhichGoesOnAfterIt) {
  // sway by default only marks a window that asks for the focus as urgent;
  // users who want such dialogs to take the keys set this.
  SwaySession session("focus_on_window_activation smart\n");
  ASSERT_TRUE(session.Ready()) << session.Log();
  SeedHive(session);
  auto saver = StartSaver(session, {"--text", "Wayland", "--no-desktop"});
  ExpectBothOutputsCovered(session);
  FocusTheSaver(session);
  session.Shell("wtype s");
  // Centred on the 640 x 480 output, to a pixel, once sway has placed it.
  const auto centred = [](const SwayRect& r) {
    return std::abs(r.X * 2 + r.Width - 640) <= 2 && std::abs(r.Y * 2 + r.Height - 480) <= 2;
  };
  std::vector<SwayWindow> windows;
  auto dialog = windows.end();
  for (auto start = Clock::now(); Clock::now() - start < 20s;) {
    std::this_thread::sleep_for(50ms);
    windows = session.Windows();
    dialog = std::find_if(windows.begin(), windows.end(),
                          [](const SwayWindow& w) { return w.Title == "Lettrance Setup"; });
    if (dialog != windows.end() && dialog->Focused && centred(dialog->Rect)) break;
  }
  ASSERT_NE(dialog, windows.end()) << session.Shell("swaymsg -t get_tree");
  EXPECT_EQ(dialog->Output, "HEADLESS-1");
  EXPECT_TRUE(dialog->Floating) << "the dialog is tiled";
  EXPECT_TRUE(centred(dialog->Rect)) << dialog->Rect.X << "," << dialog->Rect.Y << " "
                                     << dialog->Rect.Width << "x" << dialog->Rect.Height;
  EXPECT_TRUE(dialog->Focused) << "the keys still go to the saver";
  EXPECT_TRUE(saver->Running());

  session.Shell("wtype -k Escape");
  ExpectTheSaverShown(session);
  ASSERT_TRUE(saver->Running()) << "the saver ended with its dialog";
  ExpectAKeyEndsIt(session, *saver);
}

TEST_F(WaylandTest, FirstStartShowsTheAboutBoxThenTheSaver) {
  SwaySession session;
  ASSERT_TRUE(session.Ready()) << session.Log();
  auto saver = StartSaver(session, {"--text", "Wayland", "--no-desktop"});
  std::vector<SwayWindow> windows;
  for (auto start = Clock::now(); Clock::now() - start < 20s;) {
    windows = session.Windows();
    if (windows.size() == 1 && windows[0].Title.rfind("About ", 0) == 0 && windows[0].Focused)
      break;
    std::this_thread::sleep_for(50ms);
  }
  ASSERT_EQ(windows.size(), 1u) << session.Shell("swaymsg -t get_tree");
  EXPECT_EQ(windows[0].Title.rfind("About ", 0), 0u) << windows[0].Title;
  EXPECT_EQ(windows[0].Output, "HEADLESS-1");
  EXPECT_TRUE(windows[0].Floating) << "the about box is tiled";
  EXPECT_LE(std::abs(windows[0].Rect.X * 2 + windows[0].Rect.Width - 640), 2);
  EXPECT_LE(std::abs(windows[0].Rect.Y * 2 + windows[0].Rect.Height - 480), 2);

  EXPECT_TRUE(windows[0].Focused) << "the about box does not take the keys";
  session.Shell("wtype -k Return");
  ExpectTheSaverShown(session);
  ExpectAKeyEndsIt(session, *saver);
}

TEST_F(WaylandTest, AnotherWorkspaceTakingTheFocusEndsIt) {
  SwaySession session;
  ASSERT_TRUE(session.Ready()) << session.Log();
  SeedHive(session);
  auto saver = StartSaver(session, {"--text", "Wayland", "--no-desktop"});
  ExpectTheSaverShown(session);
  FocusTheSaver(session);
  // As a compositor key binding would, which the saver never sees.
  session.Shell("swaymsg workspace 9");
  EXPECT_EQ(saver->Wait(20s), std::optional<int>(0));
}

TEST_F(WaylandTest, DesktopPictureThroughGrimOrBlackWithAReason) {
  struct Case {
    std::string path;  // the saver's PATH
    bool picture;      // the desktop colour fills the primary output
  };
  const Case cases[] = {{"/usr/bin:/bin", true}, {"/nonexistent", false}};
  const int kPointerArea = 64 * 64;  // the pointer, drawn into the output
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    SwaySession session("output * bg #3070c0 solid_color\n");
    ASSERT_TRUE(session.Ready()) << session.Log();
    SeedHive(session);
    // swaybg draws the background a moment after sway starts.
    QImage before;
    for (auto start = Clock::now(); Clock::now() - start < 20s;) {
      before = session.Pixels("HEADLESS-1");
      if (!before.isNull() && PixelsOtherThan(before, 0x3070c0) < kPointerArea) break;
      std::this_thread::sleep_for(50ms);
    }
    ASSERT_LT(PixelsOtherThan(before, 0x3070c0), kPointerArea) << "no background to take";

    auto saver = StartSaver(session, {"--text", "W", "--desktop"}, c.path);
    ExpectBothOutputsCovered(session);
    // Letters cover little of the 640 x 480 output: the rest is the desktop
    // picture, or black.
    QImage shown;
    for (auto start = Clock::now(); Clock::now() - start < 20s;) {
      shown = session.Pixels("HEADLESS-1");
      if (!shown.isNull() && shown != before) break;
      std::this_thread::sleep_for(50ms);
    }
    const int pixels = 640 * 480;
    if (c.picture) {
      EXPECT_LT(PixelsOtherThan(shown, 0x3070c0), pixels / 2) << "no desktop picture";
    } else {
      EXPECT_LT(PixelsOtherThan(shown, 0x000000), pixels / 2) << "not black";
    }
    ExpectAKeyEndsIt(session, *saver);
    const std::string errors = TempDir::Read(session.File("saver.err"));
    EXPECT_EQ(Occurrences(errors, "no desktop picture"), c.picture ? 0 : 1) << errors;
    if (!c.picture) {
      EXPECT_NE(errors.find("grim is not installed"), std::string::npos) << errors;
    }
  }
}

TEST_F(WaylandTest, SwayidleStartsItAndASecondStartEndsAtOnce) {
  SwaySession session;
  ASSERT_TRUE(session.Ready()) << session.Log();
  SeedHive(session);
  // The line the README gives, with a one-second timeout.
  const std::string saverLine = SwaySession::Quote(session.Program()) +
                                " /s --text Idle --no-desktop 2>>" +
                                SwaySession::Quote(session.File("saver.err"));
  auto idle = session.Start({"XDG_CONFIG_HOME=" + session.Home() + "/config",
                             "XDG_DATA_HOME=" + session.Home() + "/data"},
                            {"/usr/bin/swayidle", "-w", "timeout", "1", saverLine}, "swayidle.err");
  ExpectTheSaverShown(session);

  auto second = StartSaver(session, {"--text", "Second"}, "/usr/bin:/bin", "second.err");
  EXPECT_EQ(second->Wait(20s), std::optional<int>(0));
  EXPECT_EQ(session.Windows().size(), 2u) << "a second saver showed windows";

  FocusTheSaver(session);
  session.Shell("wtype a");
  EXPECT_TRUE(WaitForWindows(session, 0).empty()) << "the saver did not end";
  EXPECT_TRUE(idle->Running()) << TempDir::Read(session.File("swayidle.err"));
  const std::string errors = TempDir::Read(session.File("saver.err"));
  for (const char* crash : {"Sanitizer", "runtime error"}) {
    EXPECT_EQ(errors.find(crash), std::string::npos) << errors;
  }
}

TEST_F(WaylandTest, TheX11OnlyStartsSayTheyNeedX11) {
  SwaySession session;
  ASSERT_TRUE(session.Ready()) << session.Log();
  SeedHive(session);
  const std::vector<std::vector<std::string>> starts = {
      {"/p", "12345"}, {"--root"}, {"--window-id", "0x400001"}};
  for (const std::vector<std::string>& start : starts) {
    SCOPED_TRACE(start.front());
    std::vector<std::string> command{session.Program()};
    command.insert(command.end(), start.begin(), start.end());
    auto child = session.Start({}, command, "x11.err");
    EXPECT_EQ(child->Wait(20s), std::optional<int>(4));
    const std::string errors = TempDir::Read(session.File("x11.err"));
    EXPECT_NE(errors.find("need X11"), std::string::npos) << errors;
    EXPECT_NE(errors.find(start.front()), std::string::npos) << errors;
  }
  auto hosted = session.Start({"XSCREENSAVER_WINDOW=0x400001"}, {session.Program()}, "x11.err");
  EXPECT_EQ(hosted->Wait(20s), std::optional<int>(4));
  EXPECT_NE(TempDir::Read(session.File("x11.err")).find("XSCREENSAVER_WINDOW"), std::string::npos);
}

// The settings dialog needs nothing of X11: a window of the session, which
// takes the keys and closes with Escape.
TEST_F(WaylandTest, ConfigureModeOpensTheSetupDialogAsAWaylandWindow) {
  SwaySession session;
  ASSERT_TRUE(session.Ready()) << session.Log();
  SeedHive(session);
  auto setup = session.Start({"XDG_CONFIG_HOME=" + session.Home() + "/config"},
                             {session.Program(), "/c"}, "setup.err");
  std::vector<SwayWindow> windows;
  for (auto start = Clock::now(); Clock::now() - start < 20s;) {
    windows = session.Windows();
    if (windows.size() == 1 && windows[0].Focused) break;
    std::this_thread::sleep_for(50ms);
  }
  ASSERT_EQ(windows.size(), 1u) << session.Shell("swaymsg -t get_tree");
  EXPECT_EQ(windows[0].Title, "Lettrance Setup");
  EXPECT_TRUE(windows[0].Focused);
  session.Shell("wtype -k Escape");
  EXPECT_EQ(setup->Wait(20s), std::optional<int>(0)) << TempDir::Read(session.File("setup.err"));
}

}  // namespace
