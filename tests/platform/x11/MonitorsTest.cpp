#include "platform/x11/Monitors.h"

#include <gtest/gtest.h>

namespace {

TEST(MonitorsTest, OtherMonitorsAreAllButThePrimaryEachOnce) {
  const QRect primary(0, 0, 1920, 1080);
  const QRect right(1920, 0, 1280, 1024);
  const QRect above(0, -900, 1600, 900);
  const std::pair<std::vector<QRect>, std::vector<QRect>> cases[] = {
      {{primary}, {}},
      {{primary, right}, {right}},
      {{right, primary}, {right}},
      {{primary, right, above}, {right, above}},
      // Mirrored monitors: the same rectangle twice counts once, and a mirror
      // of the primary needs no cover.
      {{primary, primary, right, right}, {right}},
      {{}, {}},
  };
  for (const auto& [monitors, expected] : cases) {
    EXPECT_EQ(platform::WithoutPrimary(monitors, primary), expected) << monitors.size();
  }
}

}  // namespace
