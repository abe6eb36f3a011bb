#include "host/ToolkitStart.h"

#include <gtest/gtest.h>

namespace {

TEST(ToolkitStartTest, InsideAHostOnlyTheRuntimeFolderFallbackIsLeftOut) {
  struct Case {
    const char* message;
    bool toldNothing;
  };
  const Case cases[] = {
      {"QStandardPaths: XDG_RUNTIME_DIR not set, defaulting to '/tmp/runtime-nobody'", true},
      // The folder is unsafe or missing: the user has something to mend.
      {"QStandardPaths: wrong permissions on runtime directory /run/user/1000, 0755 instead of "
       "0700",
       false},
      {"QStandardPaths: runtime directory '/tmp/runtime-nobody' is not owned by UID 65534, but a "
       "directory permissions 0700 owned by UID 0 GID 0",
       false},
      {"QStandardPaths: XDG_RUNTIME_DIR points to non-existing path '/run/user/1000', please "
       "create it with 0700 permissions.",
       false},
      {"qt.qpa.xcb: could not connect to display :9", false},
      {"XDG_RUNTIME_DIR not set, defaulting to '/tmp/runtime-nobody'", false},
      {"", false},
  };
  for (const Case& c : cases) EXPECT_EQ(ToldNothingInHost(c.message), c.toldNothing) << c.message;
}

TEST(ToolkitStartTest, PlatformForEachUseAndSession) {
  struct Case {
    TToolkitUse use;
    TSessionDisplays session;  // WAYLAND_DISPLAY, DISPLAY, QT_QPA_PLATFORM
    std::string platform;      // what QT_QPA_PLATFORM is set to; "" leaves it
    bool refused;
  };
  const Case cases[] = {
      // The saver: native Wayland in a Wayland session, XWayland or not.
      {tuFullScreen, {"wayland-1", "", ""}, "wayland", false},
      {tuFullScreen, {"wayland-1", ":0", ""}, "wayland;xcb", false},
      {tuFullScreen, {"", ":0", ""}, "", false},
      // What the user chose stays.
      {tuFullScreen, {"wayland-1", ":0", "xcb"}, "", false},
      {tuFullScreen, {"wayland-1", "", "offscreen"}, "", false},
      // No display at all: the toolkit's own start says so.
      {tuFullScreen, {"", "", ""}, "", false},
      // Dialogs go wherever Qt puts them.
      {tuOwnWindows, {"wayland-1", ":0", ""}, "", false},
      {tuOwnWindows, {"wayland-1", "", ""}, "", false},
      {tuOwnWindows, {"", ":0", ""}, "", false},
      // The X11 hosts keep X11, through XWayland too.
      {tuPreview, {"wayland-1", ":0", ""}, "xcb", false},
      {tuPreview, {"", ":0", ""}, "xcb", false},
      {tuHosted, {"wayland-1", ":0", ""}, "xcb", false},
      {tuHosted, {"", ":0", ""}, "xcb", false},
      {tuHosted, {"wayland-1", ":0", "wayland"}, "", false},
      // ... and cannot run in a Wayland session without it.
      {tuPreview, {"wayland-1", "", ""}, "", true},
      {tuHosted, {"wayland-1", "", ""}, "", true},
      {tuHosted, {"wayland-1", "", "xcb"}, "", true},
      {tuPreview, {"", "", ""}, "", false},
      {tuHosted, {"", "", ""}, "", false},
  };
  for (const Case& c : cases) {
    const TToolkitPlatform choice = ChooseToolkitPlatform(c.use, c.session);
    SCOPED_TRACE(testing::Message() << "use " << c.use << ", WAYLAND_DISPLAY=\""
                                    << c.session.Wayland << "\", DISPLAY=\"" << c.session.X11
                                    << "\", QT_QPA_PLATFORM=\"" << c.session.QtPlatform << "\"");
    EXPECT_EQ(choice.Platform, c.platform);
    EXPECT_EQ(!choice.Error.empty(), c.refused) << choice.Error;
  }
}

TEST(ToolkitStartTest, RefusalNamesWhatNeedsX11) {
  const TSessionDisplays waylandOnly{"wayland-0", "", ""};
  const std::string preview = ChooseToolkitPlatform(tuPreview, waylandOnly).Error;
  EXPECT_NE(preview.find("/p"), std::string::npos) << preview;
  EXPECT_NE(preview.find("need X11"), std::string::npos) << preview;
  EXPECT_NE(preview.find("DISPLAY is not set"), std::string::npos) << preview;
  const std::string hosted = ChooseToolkitPlatform(tuHosted, waylandOnly).Error;
  for (const char* part : {"--window-id", "--root", "XSCREENSAVER_WINDOW", "need X11"}) {
    EXPECT_NE(hosted.find(part), std::string::npos) << part << " in: " << hosted;
  }
}

}  // namespace
