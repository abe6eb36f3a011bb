#include "platform/x11/ForeignWindow.h"

#include <gtest/gtest.h>

#include <cstdlib>

// Last: Xlib defines macros (None, Status, Bool) that clash with other headers.
#include <X11/Xlib.h>

using platform::WindowRect;
using platform::X11ForeignWindows;

namespace {

TEST(ForeignWindowTest, WithoutAServerEveryWindowIsMissing) {
  X11ForeignWindows windows(":4711");  // no server listens there
  EXPECT_FALSE(windows.Connected());
  EXPECT_FALSE(windows.Exists(1234));
  EXPECT_FALSE(windows.IsVisible(1234));
  EXPECT_EQ(windows.Rect(1234), std::nullopt);
}

// Windows made on a connection of the test's own, as another program would.
class ForeignWindowOnServerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "needs an X server ($DISPLAY unset)";
    other_ = XOpenDisplay(nullptr);
    ASSERT_NE(other_, nullptr);
  }
  void TearDown() override {
    if (other_ != nullptr) XCloseDisplay(other_);
  }
  Window Make(Window parent, int x, int y, unsigned width, unsigned height, unsigned border) {
    const Window window = XCreateSimpleWindow(other_, parent, x, y, width, height, border, 0, 0);
    XSync(other_, False);
    return window;
  }
  void Do(int (*request)(Display*, Window), Window window) {
    request(other_, window);
    XSync(other_, False);
  }
  Display* other_ = nullptr;
  X11ForeignWindows windows_;
};

TEST_F(ForeignWindowOnServerTest, RectangleEndsOnePastTheWindow) {
  const Window plain = Make(DefaultRootWindow(other_), 30, 40, 200, 100, 0);
  EXPECT_EQ(windows_.Rect(plain), (WindowRect{30, 40, 230, 140}));  // frame 201 x 101
  // The border belongs to the outer rectangle; a child reports screen
  // coordinates, not its offset in the parent.
  EXPECT_EQ(windows_.Rect(Make(DefaultRootWindow(other_), 10, 20, 50, 60, 5)),
            (WindowRect{10, 20, 70, 90}));
  EXPECT_EQ(windows_.Rect(Make(plain, 7, 9, 20, 10, 0)), (WindowRect{37, 49, 57, 59}));
}

int gProgramHandlerCalls = 0;
int ProgramHandler(Display*, XErrorEvent*) {
  ++gProgramHandlerCalls;
  return 0;
}

TEST_F(ForeignWindowOnServerTest, VisibleWhileItAndItsAncestorsAreMappedAndNotOnceGone) {
  const Window parent = Make(DefaultRootWindow(other_), 0, 0, 100, 100, 0);
  const Window child = Make(parent, 10, 10, 20, 20, 0);
  Do(XMapWindow, child);
  EXPECT_TRUE(windows_.Exists(child));
  EXPECT_FALSE(windows_.IsVisible(child));  // its parent is unmapped
  Do(XMapWindow, parent);
  EXPECT_TRUE(windows_.IsVisible(child));
  Do(XUnmapWindow, parent);
  EXPECT_FALSE(windows_.IsVisible(child));

  const XErrorHandler before = XSetErrorHandler(ProgramHandler);
  Do(XDestroyWindow, parent);
  EXPECT_FALSE(windows_.Exists(child));  // BadWindow: read, not fatal
  EXPECT_FALSE(windows_.IsVisible(child));
  EXPECT_EQ(windows_.Rect(child), std::nullopt);
  EXPECT_FALSE(windows_.Exists(0xFFFFFFFFu));
  EXPECT_EQ(gProgramHandlerCalls, 0);  // our errors stay ours

  XWindowAttributes attributes{};  // the program's handler is back for its own errors
  XGetWindowAttributes(other_, child, &attributes);
  EXPECT_EQ(gProgramHandlerCalls, 1);
  EXPECT_EQ(XSetErrorHandler(before), ProgramHandler);
}

}  // namespace
