#include "platform/ForeignWindow.h"

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
    windows_ = std::make_unique<X11ForeignWindows>();
    ASSERT_TRUE(windows_->Connected());
  }
  void TearDown() override {
    windows_.reset();
    if (other_ != nullptr) XCloseDisplay(other_);
  }
  Window Make(Window parent, int x, int y, unsigned width, unsigned height, unsigned border) {
    const Window window = XCreateSimpleWindow(other_, parent, x, y, width, height, border, 0, 0);
    XSync(other_, False);
    return window;
  }
  Window Root() { return DefaultRootWindow(other_); }
  void Map(Window window) {
    XMapWindow(other_, window);
    XSync(other_, False);
  }

  Display* other_ = nullptr;
  std::unique_ptr<X11ForeignWindows> windows_;
};

TEST_F(ForeignWindowOnServerTest, RectangleEndsOnePastTheWindow) {
  const Window plain = Make(Root(), 30, 40, 200, 100, 0);
  Map(plain);
  const auto rect = windows_->Rect(plain);
  ASSERT_TRUE(rect.has_value());
  EXPECT_EQ(*rect, (WindowRect{30, 40, 230, 140}));
  EXPECT_EQ(rect->Right - rect->Left + 1, 201);  // the preview's frame width
  EXPECT_EQ(rect->Bottom - rect->Top + 1, 101);

  // The border belongs to the outer rectangle; a child reports screen
  // coordinates, not its offset in the parent.
  const Window framed = Make(Root(), 10, 20, 50, 60, 5);
  EXPECT_EQ(windows_->Rect(framed), (WindowRect{10, 20, 70, 90}));
  const Window child = Make(plain, 7, 9, 20, 10, 0);
  EXPECT_EQ(windows_->Rect(child), (WindowRect{37, 49, 57, 59}));
  XDestroyWindow(other_, plain);
  XDestroyWindow(other_, framed);
  XSync(other_, False);
}

TEST_F(ForeignWindowOnServerTest, VisibleOnlyWhenItAndItsAncestorsAreMapped) {
  const Window parent = Make(Root(), 0, 0, 100, 100, 0);
  const Window child = Make(parent, 10, 10, 20, 20, 0);
  EXPECT_TRUE(windows_->Exists(child));
  EXPECT_FALSE(windows_->IsVisible(child));
  Map(child);
  EXPECT_FALSE(windows_->IsVisible(child));  // its parent is still unmapped
  Map(parent);
  EXPECT_TRUE(windows_->IsVisible(child));
  XUnmapWindow(other_, parent);
  XSync(other_, False);
  EXPECT_FALSE(windows_->IsVisible(child));
  EXPECT_TRUE(windows_->Exists(child));
  XDestroyWindow(other_, parent);
  XSync(other_, False);
}

int gCustomHandlerCalls = 0;
int CustomHandler(Display*, XErrorEvent*) {
  ++gCustomHandlerCalls;
  return 0;
}

TEST_F(ForeignWindowOnServerTest, VanishedWindowReadsAsMissingWithoutEndingTheProgram) {
  const Window window = Make(Root(), 0, 0, 10, 10, 0);
  Map(window);
  ASSERT_TRUE(windows_->IsVisible(window));
  XDestroyWindow(other_, window);
  XSync(other_, False);

  const XErrorHandler before = XSetErrorHandler(CustomHandler);
  gCustomHandlerCalls = 0;
  EXPECT_FALSE(windows_->Exists(window));
  EXPECT_FALSE(windows_->IsVisible(window));
  EXPECT_EQ(windows_->Rect(window), std::nullopt);
  EXPECT_FALSE(windows_->Exists(0));
  EXPECT_FALSE(windows_->Exists(0xFFFFFFFFu));
  EXPECT_EQ(gCustomHandlerCalls, 0);  // our errors never reach the program's handler

  // The program's handler is back in place and still gets other errors.
  XWindowAttributes ignored{};
  XGetWindowAttributes(other_, window, &ignored);
  XSync(other_, False);
  EXPECT_EQ(gCustomHandlerCalls, 1);
  EXPECT_EQ(XSetErrorHandler(before), CustomHandler);
}

}  // namespace
