// The real program against a real X server: the full-screen saver, the
// preview inside another program's window, the setup dialog, first starts
// and the single-instance guard. Input comes from xdotool, pixels are read back from
// the screen. Time bounds here are generous limits against hangs; the
// measured times are printed, not asserted. Every case runs twice: on the
// shared server without a window manager, and on a server of its own under
// openbox, where the window manager decides what is on top and what has the
// focus, as on a user's desktop.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <thread>

#include "platform/registry/RegFileFormat.h"
#include "platform/registry/RegistryStore.h"
#include "tests/integration/ChildProcess.h"
#include "tests/integration/ManagedDisplay.h"
#include "tests/integration/XServer.h"

#include <X11/Xatom.h>
#include "tests/support/TempDir.h"

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

const char* const kSettingsKey = "Software\\Vandor\\ScreenSaver\\Lettrance";

// The parameter: under openbox on a server of the test's own.
class ProgramX11Test : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    if (screen.Managed()) {
      ASSERT_TRUE(screen.Managing()) << "openbox did not start on a server of its own: "
                                     << screen.Report();
    } else if (std::getenv("DISPLAY") == nullptr) {
      GTEST_SKIP() << "needs an X server";
    }
    ASSERT_TRUE(x.Connected());
    // On a busy machine a key may be held long enough to repeat, and a
    // repeated key that reaches a saver started after it would end that saver.
    XAutoRepeatOff(x.Raw());
    XSync(x.Raw(), False);
    // Keys an earlier test may have left held down on the shared server.
    XServer::Xdotool("keyup Escape keyup Return");
    XServer::Xdotool("mousemove 400 300");
  }
  void TearDown() override {
    if (!x.Connected()) return;
    XAutoRepeatOn(x.Raw());
    XSync(x.Raw(), False);
  }

  std::string HivePath() const { return home.File("config/lettrance/registry.reg"); }
  std::string DesktopEntryPath() const {
    return home.File("data/applications/Vandor/Screensaver/Lettrance.desktop");
  }

  // A hive as a previous start of this version leaves it, plus `extra` lines.
  void SeedHive(const std::string& extra = "") {
    std::filesystem::create_directories(home.Path() / "config/lettrance");
    TempDir::Write(HivePath(), "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\" +
                                   std::string(kSettingsKey) +
                                   "]\n\"ExeCounter\"=dword:00000001\n"
                                   "\"ExeVersion\"=\"1.06 - 17 Jan 2001\"\n" +
                                   extra);
  }

  int32_t HiveDword(const std::string& name) {
    const auto parsed = platform::ParseRegFile(TempDir::Read(HivePath()));
    const platform::RegValue* value = parsed.hive.FindValue(kSettingsKey, name);
    if (value == nullptr || value->data.size() != 4) return INT32_MIN;
    const auto& d = value->data;
    return static_cast<int32_t>(d[0] | (d[1] << 8) | (d[2] << 16) |
                                (static_cast<uint32_t>(d[3]) << 24));
  }
  std::string HiveString(const std::string& name) {
    const auto parsed = platform::ParseRegFile(TempDir::Read(HivePath()));
    const platform::RegValue* value = parsed.hive.FindValue(kSettingsKey, name);
    if (value == nullptr) return "<missing>";
    return std::string(value->data.begin(), value->data.end() - (value->data.empty() ? 0 : 1));
  }

  std::unique_ptr<ChildProcess> Start(const std::vector<std::string>& args) {
    auto child = std::make_unique<ChildProcess>(
        LETTRANCE_EXE, args,
        std::map<std::string, std::string>{{"XDG_CONFIG_HOME", home.File("config")},
                                           {"XDG_DATA_HOME", home.File("data")},
                                           {"XDG_RUNTIME_DIR", home.File("")},
                                           {"QT_QPA_PLATFORM", "xcb"},
                                           {"DBUS_SESSION_BUS_ADDRESS", kNoSessionBus}});
    EXPECT_TRUE(child->Started());
    return child;
  }

  // Waits until the saver's window is up and the screen shows something other
  // than black; returns how long that took.
  std::optional<std::chrono::milliseconds> WaitForDrawing(ChildProcess& child,
                                                          std::chrono::milliseconds limit = 10s) {
    const auto start = Clock::now();
    const std::string ownWindow = "search --onlyvisible --pid " + std::to_string(child.Pid());
    while (Clock::now() - start < limit && child.Running()) {
      if (x.CountPixelsOtherThan(0, 0, x.ScreenWidth(), x.ScreenHeight(), 0x000000) > 0 &&
          XServer::Xdotool(ownWindow)) {
        return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
      }
      std::this_thread::sleep_for(10ms);
    }
    return std::nullopt;
  }

  // Waits until the preview has drawn into its host window (filled with `rgb`).
  bool WaitForPreview(ChildProcess& child, int left, int top, int width, int height, uint32_t rgb) {
    for (auto start = Clock::now(); Clock::now() - start < 10s && child.Running();) {
      if (x.CountPixelsOtherThan(left, top, width, height, rgb) > 0) return true;
      std::this_thread::sleep_for(20ms);
    }
    return false;
  }

  // True while a window whose title matches `pattern` exists.
  static bool WindowShown(const std::string& pattern) {
    return XServer::Xdotool("search --onlyvisible --name '" + pattern + "'");
  }

  // Waits until the program shows a window whose title matches `pattern`.
  static bool WaitForWindow(ChildProcess& child, const std::string& pattern) {
    for (auto start = Clock::now(); Clock::now() - start < 10s && child.Running();) {
      if (WindowShown(pattern)) return true;
      std::this_thread::sleep_for(20ms);
    }
    return false;
  }

  // Sends xdotool commands to the setup dialog, focused first.
  static bool ToSetupDialog(const std::string& commands) {
    return XServer::Xdotool("search --onlyvisible --name '^Lettrance Setup$' windowfocus --sync " +
                            commands);
  }

  // Escape in the setup dialog. Pressed there, released wherever the focus
  // is then: the dialog is gone after the press, and a release aimed at it
  // would fail half way and leave the key held down for the next test.
  static void EscapeInSetupDialog() {
    ToSetupDialog("keydown Escape");
    XServer::Xdotool("keyup Escape");
  }

  // Esc to the setup dialog until the program ends; its exit code. A key
  // that comes before Qt has taken the new window's focus is dropped.
  static std::optional<int> EscapeUntilItEnds(ChildProcess& child) {
    for (int attempt = 0; attempt < 10; ++attempt) {
      EscapeInSetupDialog();
      if (const std::optional<int> code = child.Wait(1s)) return code;
    }
    return std::nullopt;
  }

  // The one viewable window titled exactly `title`, waited for; 0 when
  // there is none (or more than one) within the bound.
  Window WaitForOnlyWindowTitled(ChildProcess& child, const std::string& title) {
    for (auto start = Clock::now(); Clock::now() - start < 10s && child.Running();) {
      const std::vector<Window> found = x.ViewableWindowsTitled(title);
      if (found.size() == 1) return found.front();
      std::this_thread::sleep_for(20ms);
    }
    return 0;
  }

  // Waits until `window` has the keyboard focus.
  bool WaitForFocus(Window window) {
    for (auto start = Clock::now(); Clock::now() - start < 5s;) {
      if (x.HasFocus(window)) return true;
      std::this_thread::sleep_for(20ms);
    }
    return false;
  }

  // Waits until no window matches `pattern` any more.
  static bool WaitUntilGone(const std::string& pattern) {
    for (auto start = Clock::now(); Clock::now() - start < 10s;) {
      if (!WindowShown(pattern)) return true;
      std::this_thread::sleep_for(20ms);
    }
    return false;
  }

  // Presses `key` in the window titled `title` and waits until that window
  // is gone. Under a window manager, where the focus is (the test has
  // checked that it is on the window); without one, the test focuses it.
  bool KeyClosesWindow(const std::string& title, const std::string& key) {
    const std::string pattern = "^" + title + "$";
    if (screen.Managed()) {
      XServer::Xdotool("keydown " + key);
    } else {
      XServer::Xdotool("search --onlyvisible --name '" + pattern + "' windowfocus --sync keydown " +
                       key);
    }
    // Released wherever the focus is then: the window may be gone.
    XServer::Xdotool("keyup " + key);
    return WaitUntilGone(pattern);
  }

  // `window` stands above `below` in the server's stacking order and has the
  // focus, as a window the user can see and type into.
  void ExpectOnTopWithTheFocus(Window window, Window below, const char* what) {
    const int at = x.StackingPosition(window), belowAt = x.StackingPosition(below);
    EXPECT_GE(belowAt, 0) << what;
    EXPECT_GT(at, belowAt) << what << " is behind the saver";
    EXPECT_TRUE(WaitForFocus(window)) << what << " has no focus";
  }

  ManagedDisplay screen{GetParam()};  // first: the others use its DISPLAY
  TempDir home;
  XServer x;
};

TEST_P(ProgramX11Test, SaverDrawsAndEndsOnAKey) {
  SeedHive();
  auto saver = Start({"/s"});
  const auto firstFrame = WaitForDrawing(*saver);
  ASSERT_TRUE(firstFrame) << "no frame on screen";
  std::printf("first frame after %lld ms\n", static_cast<long long>(firstFrame->count()));

  XServer::Xdotool("key n");  // the next line, not an end
  std::this_thread::sleep_for(300ms);
  EXPECT_TRUE(saver->Running());
  XServer::Xdotool("key x");
  EXPECT_EQ(saver->Wait(5s), 0);
}

TEST_P(ProgramX11Test, SaverEndsOnAClick) {
  SeedHive();
  auto saver = Start({"/s"});
  ASSERT_TRUE(WaitForDrawing(*saver));
  XServer::Xdotool("click 1");
  EXPECT_EQ(saver->Wait(5s), 0);
}

TEST_P(ProgramX11Test, SaverEndsOnlyOnAMoveAlongBothAxes) {
  SeedHive();
  auto saver = Start({"/s"});
  ASSERT_TRUE(WaitForDrawing(*saver));
  XServer::Xdotool("mousemove 401 300");  // the reference point
  std::this_thread::sleep_for(200ms);
  // Moves that do not end the saver keep the reference point.
  for (const char* to : {"404 302", "403 303", "406 301"}) {
    XServer::Xdotool(std::string("mousemove ") + to);
    std::this_thread::sleep_for(300ms);
    EXPECT_TRUE(saver->Running()) << "a move to " << to << " must not end the saver";
  }
  XServer::Xdotool("mousemove 404 303");
  EXPECT_EQ(saver->Wait(5s), 0);
}

TEST_P(ProgramX11Test, TheSaverHasTheKeyboardEvenWhenFocusIsElsewhere) {
  SeedHive();
  const Window other = x.CreateWindow(0, 0, 50, 50, 0x000000);  // black: not a frame
  auto saver = Start({"/s"});
  ASSERT_TRUE(WaitForDrawing(*saver));
  XSetInputFocus(x.Raw(), other, RevertToParent, CurrentTime);
  XSync(x.Raw(), False);
  XServer::Xdotool("key Shift_L");  // a modifier alone ends it too
  EXPECT_EQ(saver->Wait(5s), 0);
  x.Destroy(other);
}

TEST_P(ProgramX11Test, DesktopShowsBehindTheTextOnlyWithDesktopFlag) {
  // Under a window manager, a window it manages, as the desktop has them
  // (one that bypasses it would stay above every window it stacks).
  const Window red = screen.Managed() ? x.CreateManagedWindow(40, 40, 200, 200, 0xFF0000)
                                      : x.CreateWindow(40, 40, 200, 200, 0xFF0000);
  const int w = x.ScreenWidth(), h = x.ScreenHeight();
  for (const bool desktop : {true, false}) {
    SeedHive(desktop ? "\"DesktopFlag\"=dword:00000001\n" : "\"DesktopFlag\"=dword:00000000\n");
    auto saver = Start({"/s"});
    // Wait until letters are on screen: pixels neither black nor red.
    bool lettersShown = false;
    for (auto start = Clock::now(); Clock::now() - start < 10s && !lettersShown;) {
      std::this_thread::sleep_for(50ms);
      lettersShown = x.CountPixelsOtherThan(0, 0, w, h, 0x000000) -
                         x.CountPixelsEqualTo(0, 0, w, h, 0xFF0000) >
                     0;
    }
    ASSERT_TRUE(lettersShown && saver->Running());
    std::this_thread::sleep_for(200ms);
    const long redPixels = x.CountPixelsEqualTo(50, 50, 180, 180, 0xFF0000);
    if (desktop) {
      EXPECT_GT(redPixels, 180 * 180 / 2) << "the snapshot is missing";
    } else {
      EXPECT_LT(redPixels, 180 * 180 / 10) << "the saver does not cover the desktop";
    }
    XServer::Xdotool("key x");
    EXPECT_EQ(saver->Wait(5s), 0);
  }
  x.Destroy(red);
}

TEST_P(ProgramX11Test, FirstStartWritesTheMenuEntryAndShowsTheAboutBox) {
  auto first = Start({"/s"});
  bool aboutShown = false;
  for (auto start = Clock::now(); Clock::now() - start < 5s && !aboutShown;) {
    aboutShown = WindowShown("^About ");
    std::this_thread::sleep_for(50ms);
  }
  ASSERT_TRUE(aboutShown) << "no about box on the first start";
  // Named as the program names itself everywhere, not by its file name
  // (exactly: xdotool's search ignores case).
  EXPECT_EQ(x.ViewableWindowsTitled("About Lettrance").size(), 1u);
  EXPECT_TRUE(std::filesystem::exists(DesktopEntryPath()));
  // Pressed at the about box, released wherever the focus is then: the box
  // is gone after the press, and a release aimed at it would fail half way
  // and leave the key held down.
  XServer::Xdotool("search --onlyvisible --name '^About ' windowfocus --sync keydown Return");
  XServer::Xdotool("keyup Return");
  for (auto start = Clock::now(); Clock::now() - start < 5s && WindowShown("^About ");) {
    std::this_thread::sleep_for(20ms);
  }
  ASSERT_TRUE(WaitForDrawing(*first)) << "the saver did not start after the about box";
  XServer::Xdotool("key x");
  EXPECT_EQ(first->Wait(5s), 0);
  EXPECT_EQ(HiveDword("ExeCounter"), 1);
  EXPECT_EQ(HiveString("ExeVersion"), "1.06 - 17 Jan 2001");

  std::filesystem::remove(DesktopEntryPath());
  auto second = Start({"/s"});
  ASSERT_TRUE(WaitForDrawing(*second));
  EXPECT_FALSE(WindowShown("^About "));
  XServer::Xdotool("key x");
  EXPECT_EQ(second->Wait(5s), 0);
  EXPECT_FALSE(std::filesystem::exists(DesktopEntryPath()));
  EXPECT_EQ(HiveDword("ExeCounter"), 2);
}

// Plays a window manager that announces frame extents and sets them on the
// about box only after it is on screen, as many do.
TEST_P(ProgramX11Test, TheAboutBoxIsCentredByItsFrameOnceTheFrameIsKnown) {
  if (screen.Managed()) GTEST_SKIP() << "plays a window manager itself";
  Display* display = x.Raw();
  const Window root = DefaultRootWindow(display);
  const Atom supported = XInternAtom(display, "_NET_SUPPORTED", False);
  Atom extents = XInternAtom(display, "_NET_FRAME_EXTENTS", False);
  XChangeProperty(display, root, supported, XA_ATOM, 32, PropModeReplace,
                  reinterpret_cast<unsigned char*>(&extents), 1);
  XSync(display, False);
  auto first = Start({"/s"});
  Window about = 0;
  for (auto start = Clock::now(); Clock::now() - start < 5s && about == 0;) {
    std::this_thread::sleep_for(50ms);
    about = x.FindWindowNamed("About ");
  }
  XDeleteProperty(display, root, supported);
  ASSERT_NE(about, 0u) << "no about box on the first start";

  long frame[4] = {5, 5, 30, 5};  // left, right, top, bottom
  XChangeProperty(display, about, extents, XA_CARDINAL, 32, PropModeReplace,
                  reinterpret_cast<unsigned char*>(frame), 4);
  XSync(display, False);
  // The frame is 352 + 10 by 193 + 35: its top left belongs at
  // ((1280 - 362) / 2, (720 - 228) / 2) = (459, 246), the box 5 and 30 further.
  const int wantX = (x.ScreenWidth() - 362) / 2 + 5, wantY = (x.ScreenHeight() - 228) / 2 + 30;
  int atX = 0, atY = 0;
  for (auto start = Clock::now(); Clock::now() - start < 5s && (atX != wantX || atY != wantY);) {
    std::this_thread::sleep_for(50ms);
    Window child;
    XTranslateCoordinates(display, about, root, 0, 0, &atX, &atY, &child);
  }
  EXPECT_EQ(atX, wantX);
  EXPECT_EQ(atY, wantY);
  first->Kill(SIGTERM);
  first->Wait(5s);
}

TEST_P(ProgramX11Test, OnlyConfigureAndRunStartsAreCounted) {
  SeedHive();
  const Window host = x.CreateWindow(0, 0, 160, 120, 0x303030);
  auto preview = Start({"/p", std::to_string(host)});
  ASSERT_TRUE(WaitForPreview(*preview, 0, 0, 160, 120, 0x303030));
  x.Destroy(host);
  EXPECT_EQ(preview->Wait(5s), 0);
  EXPECT_EQ(HiveDword("ExeCounter"), 1);

  auto configure = Start({});
  ASSERT_TRUE(WaitForWindow(*configure, "^Lettrance Setup$"));
  EXPECT_EQ(EscapeUntilItEnds(*configure), 0);
  EXPECT_EQ(HiveDword("ExeCounter"), 2);
}

TEST_P(ProgramX11Test, PreviewDrawsIntoTheHostWindowAndEndsWithIt) {
  SeedHive();
  for (const bool destroy : {false, true}) {
    const Window host = x.CreateWindow(100, 100, 320, 240, 0x303030);
    auto preview = Start({"/p", std::to_string(host)});
    ASSERT_TRUE(WaitForPreview(*preview, 100, 100, 320, 240, 0x303030))
        << "nothing drawn into the host window";

    // A second copy ends at once while the first runs.
    auto second = Start({"/p", std::to_string(host)});
    EXPECT_EQ(second->Wait(5s), 0);
    EXPECT_TRUE(preview->Running());

    const auto hidden = Clock::now();
    if (destroy) {
      x.Destroy(host);
    } else {
      x.Unmap(host);
    }
    ASSERT_EQ(preview->Wait(5s), 0);
    std::printf("preview ended %lld ms after its window was %s\n",
                static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                           preview->EndedAt() - hidden)
                                           .count()),
                destroy ? "destroyed" : "unmapped");
    if (!destroy) x.Destroy(host);
  }
}

TEST_P(ProgramX11Test, PreviewOfAWindowThatDoesNotExistEndsWithAnError) {
  SeedHive();
  auto preview = Start({"/p", "4000000000"});
  EXPECT_EQ(preview->Wait(5s), 1);
  auto garbage = Start({"/p", "window"});
  EXPECT_EQ(garbage->Wait(5s), 2);
}

TEST_P(ProgramX11Test, SetupDialogCancelledWithEscapeStoresNothing) {
  SeedHive("\"Speed\"=dword:00000003\n\"Text\"=\"one\\rtwo\"\n");
  auto setup = Start({"/c"});
  ASSERT_TRUE(WaitForWindow(*setup, "^Lettrance Setup$"));
  EXPECT_EQ(EscapeUntilItEnds(*setup), 0);
  // Only the start was counted: loading this version's settings writes
  // nothing, and Cancel writes nothing either.
  EXPECT_EQ(HiveDword("Speed"), 3);
  EXPECT_EQ(HiveString("Text"), "one\rtwo");
  EXPECT_EQ(HiveDword("TimerInterval"), INT32_MIN) << "a value was written";
  EXPECT_EQ(HiveDword("ExeCounter"), 2);
}

TEST_P(ProgramX11Test, TestRunFromTheSetupDialogEndsWithSAndStoresNothing) {
  SeedHive("\"Speed\"=dword:00000003\n");
  auto setup = Start({"/c"});
  ASSERT_TRUE(WaitForWindow(*setup, "^Lettrance Setup$"));
  ToSetupDialog("mousemove --window %1 524 284 click 1");  // Test
  ASSERT_TRUE(WaitForWindow(*setup, "^Lettrance$")) << "no test saver";
  XServer::Xdotool("key s");
  for (auto start = Clock::now(); Clock::now() - start < 10s && WindowShown("^Lettrance$");) {
    std::this_thread::sleep_for(20ms);
  }
  EXPECT_FALSE(WindowShown("^Lettrance$")) << "S did not end the test run";
  EXPECT_TRUE(WindowShown("^Lettrance Setup$")) << "the dialog went with the test run";
  EXPECT_EQ(EscapeUntilItEnds(*setup), 0);
  EXPECT_EQ(HiveDword("Speed"), 3);
  EXPECT_EQ(HiveDword("TimerInterval"), INT32_MIN) << "the test run stored its settings";
}

TEST_P(ProgramX11Test, SetupDialogConfirmedWithReturnStoresAllFourteenValues) {
  SeedHive();
  auto setup = Start({});  // no switch: the setup dialog
  ASSERT_TRUE(WaitForWindow(*setup, "^Lettrance Setup$"));
  // Out of the text (where Return starts a new line), then Return is OK.
  ToSetupDialog("key Tab keydown Return");
  XServer::Xdotool("keyup Return");  // the dialog is gone: released wherever the focus is
  EXPECT_EQ(setup->Wait(10s), 0);
  const struct {
    const char* name;
    int32_t value;
  } stored[] = {{"TimerInterval", 25},  {"Speed", 6},          {"FontSize", 60},
                {"FontSpacing", 0},     {"FontColor", 0xC0F0}, {"DesktopFlag", 0},
                {"EffectsFlag", 1},     {"RandomYFlag", 1},    {"ColorFadingFlag", 1},
                {"RandomColorFlag", 1}, {"EffectCode", -2},    {"DateTimeMode", 0}};
  for (const auto& value : stored) EXPECT_EQ(HiveDword(value.name), value.value) << value.name;
  EXPECT_NE(HiveString("FontName"), "<missing>");
  EXPECT_EQ(HiveString("Text"),
            "Lettrance\r\n20 different text effects\r\nVisit www.vandor.example for more\r\n"
            "press S for setup");
}

TEST_P(ProgramX11Test, SInTheSaverOpensTheSetupDialogAndOkKeepsTheSaverRunning) {
  SeedHive("\"DesktopFlag\"=dword:00000000\n");
  auto saver = Start({"/s"});
  ASSERT_TRUE(WaitForDrawing(*saver));
  XServer::Xdotool("key s");
  ASSERT_TRUE(WaitForWindow(*saver, "^Lettrance Setup$")) << "no setup dialog over the saver";
  // "Keep desktop": options group at (8, 216), the box at (8, 72) in it.
  ToSetupDialog("mousemove --window %1 21 296 click 1");
  ToSetupDialog("keydown Return");
  XServer::Xdotool("keyup Return");  // the dialog is gone: released over the saver
  for (auto start = Clock::now(); Clock::now() - start < 10s && WindowShown("^Lettrance Setup$");) {
    std::this_thread::sleep_for(20ms);
  }
  EXPECT_FALSE(WindowShown("^Lettrance Setup$"));
  EXPECT_EQ(HiveDword("DesktopFlag"), 1);
  std::this_thread::sleep_for(300ms);
  EXPECT_TRUE(saver->Running()) << "OK in the dialog ended the saver";
  EXPECT_TRUE(WaitForDrawing(*saver));
  XServer::Xdotool("key x");
  EXPECT_EQ(saver->Wait(5s), 0);
}

TEST_P(ProgramX11Test, AKilledCopyDoesNotBlockTheNextStart) {
  SeedHive();
  auto killed = Start({"/s"});
  ASSERT_TRUE(WaitForDrawing(*killed));
  killed->Kill(SIGKILL);
  ASSERT_TRUE(killed->Wait(5s).has_value());
  std::this_thread::sleep_for(200ms);  // the server removes the dead client's window
  auto next = Start({"/s"});
  EXPECT_TRUE(WaitForDrawing(*next)) << "the next start was blocked";
  XServer::Xdotool("key x");
  EXPECT_EQ(next->Wait(5s), 0);
}

TEST_P(ProgramX11Test, DialogsOpenedOverTheSaverComeAboveItAndTakeTheKeys) {
  SeedHive("\"DesktopFlag\"=dword:00000000\n");
  auto saver = Start({"/s"});
  ASSERT_TRUE(WaitForDrawing(*saver));
  const Window saverWindow = WaitForOnlyWindowTitled(*saver, "Lettrance");
  ASSERT_NE(saverWindow, 0u);

  XServer::Xdotool("key s");
  const Window setup = WaitForOnlyWindowTitled(*saver, "Lettrance Setup");
  ASSERT_NE(setup, 0u) << "no setup dialog over the saver";
  ExpectOnTopWithTheFocus(setup, saverWindow, "the setup dialog");

  // The colour swatch: the font group at (248, 8), the swatch at (128, 16)
  // in it, 97 x 81. A click picks a colour and focuses it; Space opens the
  // colour dialog.
  ToSetupDialog("mousemove --window %1 424 64 click 1");
  XServer::Xdotool("key space");
  const Window colour = WaitForOnlyWindowTitled(*saver, "Color");
  ASSERT_NE(colour, 0u) << "no colour dialog";
  ExpectOnTopWithTheFocus(colour, saverWindow, "the colour dialog");
  EXPECT_TRUE(KeyClosesWindow("Color", "Escape")) << "Escape did not reach the colour dialog";
  EXPECT_TRUE(WindowShown("^Lettrance Setup$")) << "Escape went to the setup dialog";

  // Info: at (488, 240), 73 x 25.
  ToSetupDialog("mousemove --window %1 524 252 click 1");
  const Window about = WaitForOnlyWindowTitled(*saver, "About Lettrance");
  ASSERT_NE(about, 0u) << "no about box";
  ExpectOnTopWithTheFocus(about, saverWindow, "the about box");
  // OK, the box's default button.
  EXPECT_TRUE(KeyClosesWindow("About Lettrance", "Return")) << "Return did not reach the about box";
  EXPECT_TRUE(WindowShown("^Lettrance Setup$"));

  // A window manager gives the focus back to the opener; without one, the
  // test gives it.
  if (screen.Managed()) {
    EXPECT_TRUE(WaitForFocus(setup)) << "the setup dialog lost the focus";
  }
  EXPECT_TRUE(KeyClosesWindow("Lettrance Setup", "Escape"));
  std::this_thread::sleep_for(300ms);
  EXPECT_TRUE(saver->Running()) << "closing the dialogs ended the saver";
  XServer::Xdotool("key x");
  EXPECT_EQ(saver->Wait(5s), 0);
}

// A save the settings file refuses, from the dialog over the saver: the
// message must be where the user can read it and answer it.
TEST_P(ProgramX11Test, ARefusedSaveOverTheSaverShowsItsMessageAboveTheSaver) {
  SeedHive("\"DesktopFlag\"=dword:00000000\n");
  auto saver = Start({"/s"});
  ASSERT_TRUE(WaitForDrawing(*saver));
  const Window saverWindow = WaitForOnlyWindowTitled(*saver, "Lettrance");
  ASSERT_NE(saverWindow, 0u);
  // No write permission bit: the file is used read-only, and a save fails.
  std::filesystem::permissions(HivePath(), std::filesystem::perms::owner_read);

  XServer::Xdotool("key s");
  const Window setup = WaitForOnlyWindowTitled(*saver, "Lettrance Setup");
  ASSERT_NE(setup, 0u) << "no setup dialog over the saver";
  ToSetupDialog("key Tab keydown Return");  // out of the text, then OK
  XServer::Xdotool("keyup Return");
  // The message box takes the program's title, as the saver does.
  Window message = 0;
  for (auto start = Clock::now(); Clock::now() - start < 10s && message == 0;) {
    for (const Window window : x.ViewableWindowsTitled("Lettrance")) {
      if (window != saverWindow) message = window;
    }
    std::this_thread::sleep_for(20ms);
  }
  ASSERT_NE(message, 0u) << "no message about the refused save";
  ExpectOnTopWithTheFocus(message, saverWindow, "the message box");
  XServer::Xdotool("keydown Return");
  XServer::Xdotool("keyup Return");
  for (auto start = Clock::now();
       Clock::now() - start < 10s && x.ViewableWindowsTitled("Lettrance").size() > 1;) {
    std::this_thread::sleep_for(20ms);
  }
  EXPECT_EQ(x.ViewableWindowsTitled("Lettrance").size(), 1u) << "Return did not answer it";
  EXPECT_TRUE(WindowShown("^Lettrance Setup$")) << "the dialog did not stay open";
  if (screen.Managed()) {
    EXPECT_TRUE(WaitForFocus(setup)) << "the setup dialog lost the focus";
  }
  EXPECT_TRUE(KeyClosesWindow("Lettrance Setup", "Escape"));
  XServer::Xdotool("key x");
  EXPECT_EQ(saver->Wait(5s), 0);
  EXPECT_EQ(HiveDword("DesktopFlag"), 0);
}

// The about box of a first start is the box Info shows, product line and
// all: the same pixels.
TEST_P(ProgramX11Test, TheFirstStartsAboutBoxIsTheOneInfoShows) {
  auto setup = Start({"/c"});
  const Window first = WaitForOnlyWindowTitled(*setup, "About Lettrance");
  ASSERT_NE(first, 0u) << "no about box titled \"About Lettrance\" on the first start";
  XServer::Xdotool("mousemove 0 0");  // nothing under the pointer lights up
  std::this_thread::sleep_for(300ms);
  const std::vector<uint32_t> firstPixels = x.WindowPixels(first);
  ASSERT_FALSE(firstPixels.empty());
  XServer::Xdotool("search --onlyvisible --name '^About Lettrance$' windowfocus --sync keydown Return");
  XServer::Xdotool("keyup Return");
  ASSERT_TRUE(WaitUntilGone("^About Lettrance$"));

  ASSERT_TRUE(WaitForWindow(*setup, "^Lettrance Setup$"));
  ToSetupDialog("mousemove --window %1 524 252 click 1");  // Info
  const Window info = WaitForOnlyWindowTitled(*setup, "About Lettrance");
  ASSERT_NE(info, 0u) << "Info showed no about box";
  XServer::Xdotool("mousemove 0 0");
  std::this_thread::sleep_for(300ms);
  const std::vector<uint32_t> infoPixels = x.WindowPixels(info);
  EXPECT_TRUE(firstPixels == infoPixels) << "the first start's box differs from Info's";
  XServer::Xdotool("search --onlyvisible --name '^About Lettrance$' windowfocus --sync keydown Return");
  XServer::Xdotool("keyup Return");
  ASSERT_TRUE(WaitUntilGone("^About Lettrance$"));
  EscapeInSetupDialog();
  EXPECT_EQ(setup->Wait(10s), 0);
}

INSTANTIATE_TEST_SUITE_P(, ProgramX11Test, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) {
                           return info.param ? "Openbox" : "NoWindowManager";
                         });

// Needs no X server: every mode that opens windows ends with one line and
// its own exit code when the display cannot be opened.
TEST(ProgramWithoutDisplayTest, SaysSoAndEndsWithExitCodeFour) {
  TempDir home;
  const std::pair<std::string, std::string> displays[] = {
      {"", "lettrance: cannot open the display (DISPLAY is not set)"},
      {":9999", "lettrance: cannot open the display \":9999\""}};
  const std::vector<std::string> commandLines[] = {{"/s"}, {}, {"/c"}, {"/p", "1234"}};
  for (const auto& [display, message] : displays) {
    for (const auto& args : commandLines) {
      const std::string errors = home.File("errors.txt");
      ChildProcess child(LETTRANCE_EXE, args,
                         {{"DISPLAY", display},
                          {"QT_QPA_PLATFORM", ""},
                          {"XDG_CONFIG_HOME", home.File("config")},
                          {"XDG_RUNTIME_DIR", home.File("")},
                          {"DBUS_SESSION_BUS_ADDRESS", kNoSessionBus}},
                         errors);
      const std::string what = "DISPLAY=" + display + " " + (args.empty() ? "" : args[0]);
      EXPECT_EQ(child.Wait(10s), 4) << what;
      const std::string text = TempDir::Read(errors);
      EXPECT_EQ(text.rfind(message, 0), 0u) << what << ": " << text;
      EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1) << what << ": " << text;
    }
  }
  // A bad command line is reported before the display is needed, with one prefix.
  const std::string errors = home.File("errors.txt");
  ChildProcess bad(LETTRANCE_EXE, {"/p", "window"}, {{"DISPLAY", ""}}, errors);
  EXPECT_EQ(bad.Wait(10s), 2);
  EXPECT_EQ(TempDir::Read(errors).rfind("lettrance: \"/p\" needs the ", 0), 0u)
      << TempDir::Read(errors);
  // Changing the password needs no display.
  ChildProcess password(LETTRANCE_EXE, {"/a", "0"}, {{"DISPLAY", ""}});
  EXPECT_EQ(password.Wait(10s), 0);
  EXPECT_FALSE(std::filesystem::exists(home.File("config")));  // no settings touched
}

}  // namespace
