#include "platform/x11/XErrorTrap.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/x11/XConnection.h"

// Last: Xlib defines macros (None, Status, Bool) that clash with other headers.
#include <X11/Xlib.h>

using platform::XConnection;
using platform::XErrorTrap;

namespace {

TEST(XConnectionTest, WithoutAServerTheConnectionIsNull) {
  const XConnection connection(":4711");  // no server listens there
  EXPECT_FALSE(connection);
  EXPECT_EQ(connection.Handle(), nullptr);
}

int gProgramHandlerCalls = 0;
int ProgramHandler(Display*, XErrorEvent*) {
  ++gProgramHandlerCalls;
  return 0;
}

// Each test runs with the program's own handler in place (Xlib's default
// would end the test program on the first error that gets past a trap).
class XErrorTrapTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "needs an X server ($DISPLAY unset)";
    ASSERT_TRUE(a_);
    ASSERT_TRUE(b_);
    ASSERT_TRUE(c_);
    gProgramHandlerCalls = 0;
    before_ = XSetErrorHandler(ProgramHandler);
  }
  void TearDown() override { XSetErrorHandler(before_); }
  // A request that fails with BadWindow, answered before it returns.
  static void Fail(const XConnection& connection) {
    XWindowAttributes attributes{};
    XGetWindowAttributes(connection.Handle(), kNoWindow, &attributes);
  }
  static constexpr Window kNoWindow = 0x1FFFFFFF;  // in no client's range of ids

  XConnection a_, b_, c_;
  XErrorHandler before_ = nullptr;
};

TEST_F(XErrorTrapTest, ErrorsOfItsConnectionAreRecordedUntilTaken) {
  XErrorTrap trap(a_.Handle());
  EXPECT_FALSE(trap.Failed());
  XWindowAttributes attributes{};
  XGetWindowAttributes(a_.Handle(), DefaultRootWindow(a_.Handle()), &attributes);
  EXPECT_EQ(trap.Sync(), Success);
  Fail(a_);
  EXPECT_TRUE(trap.Failed());
  EXPECT_EQ(trap.LastError(), BadWindow);
  EXPECT_EQ(trap.LastError(), BadWindow);  // reading keeps it
  EXPECT_EQ(trap.TakeError(), BadWindow);
  EXPECT_EQ(trap.LastError(), Success);
  // An asynchronous request: its error arrives with the sync.
  XMapWindow(a_.Handle(), kNoWindow);
  EXPECT_EQ(trap.Sync(), BadWindow);
  EXPECT_FALSE(trap.Failed());
  EXPECT_EQ(gProgramHandlerCalls, 0);
}

TEST_F(XErrorTrapTest, ThePreviousHandlerIsBackAfterwardsAndGetsOtherConnectionsErrors) {
  {
    XErrorTrap trap(a_.Handle());
    Fail(b_);
    EXPECT_EQ(gProgramHandlerCalls, 1);
    EXPECT_FALSE(trap.Failed());
  }
  Fail(a_);
  EXPECT_EQ(gProgramHandlerCalls, 2);
  EXPECT_EQ(XSetErrorHandler(ProgramHandler), ProgramHandler);
}

TEST_F(XErrorTrapTest, NestedTrapsEachKeepTheirConnectionsErrors) {
  {
    XErrorTrap outer(a_.Handle());
    {
      XErrorTrap inner(b_.Handle());
      Fail(a_);  // passes the inner trap to the outer one
      EXPECT_EQ(inner.LastError(), Success);
      EXPECT_EQ(outer.TakeError(), BadWindow);
      Fail(b_);
      EXPECT_EQ(outer.LastError(), Success);
      EXPECT_EQ(inner.TakeError(), BadWindow);
      Fail(c_);  // neither trap's: the program's handler
      EXPECT_EQ(gProgramHandlerCalls, 1);
      XMapWindow(b_.Handle(), kNoWindow);
      EXPECT_EQ(inner.Sync(), BadWindow);
    }
    Fail(b_);  // the inner trap is gone: the program's handler again
    EXPECT_EQ(gProgramHandlerCalls, 2);
    Fail(a_);
    EXPECT_EQ(outer.TakeError(), BadWindow);
  }
  EXPECT_EQ(XSetErrorHandler(ProgramHandler), ProgramHandler);
  EXPECT_EQ(gProgramHandlerCalls, 2);
}

}  // namespace
