#pragma once
// The places that changed in a frame, as few rectangles as is worth it. A
// line of letters leaves a hundred small, overlapping rectangles behind, and
// each one is a separate copy for the painter and a separate request for
// the X server; letters side by side share one rectangle at the cost of a
// few more pixels.

#include <QRect>
#include <vector>

// Rectangles that together cover every one of `places`: places merged into
// their common bounding rectangle wherever that rectangle is at most a
// quarter larger than the places it replaces.
std::vector<QRect> MergeNearbyPlaces(std::vector<QRect> places);
