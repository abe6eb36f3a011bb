// The changed places of a frame, merged into few rectangles: everything that
// changed stays covered, neighbours share a rectangle, distant places do not.
#include "engine/ChangedPlaces.h"

#include <gtest/gtest.h>

#include <QRegion>

namespace {

QRegion Covered(const std::vector<QRect>& rects) {
  QRegion region;
  for (const QRect& rect : rects) region += rect;
  return region;
}

TEST(ChangedPlacesTest, NeighboursMergeAndEverythingStaysCovered) {
  struct Case {
    const char* what;
    std::vector<QRect> places;
    size_t rectangles;
  };
  // A line of 60 x 100 letters, each where it was and 6 pixels to the left,
  // with a wave of up to 20 pixels: one rectangle.
  std::vector<QRect> line;
  for (int i = 0; i < 20; ++i) {
    const int dy = (i % 3) * 10;
    line.emplace_back(100 + 60 * i, 500 + dy, 60, 100);
    line.emplace_back(94 + 60 * i, 500 + dy, 60, 100);
  }
  const Case cases[] = {
      {"nothing", {}, 0},
      {"empty places are dropped", {QRect(5, 5, 0, 10), QRect(9, 9, 10, 0)}, 0},
      {"a wavy line of letters", line, 1},
      {"one place inside another", {QRect(10, 10, 5, 5), QRect(0, 0, 100, 100)}, 1},
      // Joined, these two would waste 200 x 200 pixels.
      {"far apart", {QRect(0, 0, 20, 20), QRect(200, 200, 20, 20)}, 2},
      {"given right to left", {QRect(60, 0, 60, 100), QRect(0, 0, 60, 100)}, 1},
      // Side by side a quarter apart: the gap is just worth it; more is not.
      {"a gap of a quarter", {QRect(0, 0, 40, 10), QRect(60, 0, 40, 10)}, 1},
      {"a gap of more", {QRect(0, 0, 40, 10), QRect(61, 0, 40, 10)}, 2},
  };
  for (const Case& c : cases) {
    const std::vector<QRect> merged = MergeNearbyPlaces(c.places);
    EXPECT_EQ(merged.size(), c.rectangles) << c.what;
    const QRegion covered = Covered(merged);
    for (const QRect& place : c.places) {
      EXPECT_TRUE(place.isEmpty() || covered.contains(place)) << c.what;
    }
  }
}

}  // namespace
