#pragma once
// Size of the primary screen in device pixels: the plane on which the
// animation places its letters.

#include <cstdint>
#include <optional>

namespace platform {

struct ScreenSize {
  int32_t Width = 0;
  int32_t Height = 0;
  friend bool operator==(const ScreenSize&, const ScreenSize&) = default;
};

// The fixed size when one is set; otherwise the primary screen of the running
// GUI application, or 800 x 600 when there is none. Never smaller than 1 x 1.
ScreenSize PrimaryScreenSize();

// Fixes the reported size (tests, headless rendering); nullopt goes back to
// the real screen.
void SetPrimaryScreenSize(std::optional<ScreenSize> size);

}  // namespace platform
