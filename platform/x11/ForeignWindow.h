#pragma once
// Questions about a window of another program on the X server (the host
// window of the preview), answered safely when that window has vanished.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace platform {

// An X11 window id, as given on the command line.
using WindowId = uint32_t;

// A window's outer rectangle in screen coordinates. Right and bottom lie one
// past the window, so Right - Left is the width and Right - Left + 1 one more.
struct WindowRect {
  int32_t Left = 0;
  int32_t Top = 0;
  int32_t Right = 0;
  int32_t Bottom = 0;
  friend bool operator==(const WindowRect&, const WindowRect&) = default;
};

class ForeignWindows {
 public:
  virtual ~ForeignWindows() = default;
  virtual bool Exists(WindowId window) = 0;
  // Mapped, and every ancestor mapped too. False for a window that is gone.
  virtual bool IsVisible(WindowId window) = 0;
  // Empty for a window that is gone.
  virtual std::optional<WindowRect> Rect(WindowId window) = 0;
};

// Queries over a connection of its own to the X server `displayName` (the
// default display when empty). Without a server every window reads as
// missing. An X error (a window destroyed between two queries) never ends
// the program.
class X11ForeignWindows : public ForeignWindows {
 public:
  explicit X11ForeignWindows(const std::string& displayName = std::string());
  ~X11ForeignWindows() override;
  X11ForeignWindows(const X11ForeignWindows&) = delete;
  X11ForeignWindows& operator=(const X11ForeignWindows&) = delete;

  bool Connected() const;
  bool Exists(WindowId window) override;
  bool IsVisible(WindowId window) override;
  std::optional<WindowRect> Rect(WindowId window) override;

 private:
  struct Connection;
  std::unique_ptr<Connection> FConnection;
};

}  // namespace platform
