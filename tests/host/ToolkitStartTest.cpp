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

}  // namespace
