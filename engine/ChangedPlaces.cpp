#include "engine/ChangedPlaces.h"

#include <algorithm>
#include <cstdint>

namespace {

int64_t Area(const QRect& rect) {
  return rect.isEmpty() ? 0 : int64_t{rect.width()} * rect.height();
}

// Merging `a` and `b` wastes little: their bounding rectangle is at most a
// quarter larger than the two together.
bool WorthMerging(const QRect& a, const QRect& b) {
  const int64_t both = Area(a) + Area(b);
  return Area(a.united(b)) * 4 <= both * 5;
}

// One pass: each place joins the first kept rectangle it is worth merging
// with, or is kept as it is. Places come in from left to right, so the
// neighbours of a place are among the last few kept.
std::vector<QRect> MergeOnce(const std::vector<QRect>& places) {
  constexpr size_t kLookBack = 8;
  std::vector<QRect> kept;
  for (const QRect& place : places) {
    if (place.isEmpty()) continue;
    bool merged = false;
    const size_t first = kept.size() > kLookBack ? kept.size() - kLookBack : 0;
    for (size_t k = kept.size(); k-- > first;) {
      if (WorthMerging(kept[k], place)) {
        kept[k] = kept[k].united(place);
        merged = true;
        break;
      }
    }
    if (!merged) kept.push_back(place);
  }
  return kept;
}

}  // namespace

std::vector<QRect> MergeNearbyPlaces(std::vector<QRect> places) {
  std::sort(places.begin(), places.end(),
            [](const QRect& a, const QRect& b) { return a.left() < b.left(); });
  // Merged rectangles may now overlap or touch others worth merging with.
  std::vector<QRect> merged = MergeOnce(places);
  for (size_t before = 0; merged.size() != before;) {
    before = merged.size();
    merged = MergeOnce(merged);
  }
  return merged;
}
