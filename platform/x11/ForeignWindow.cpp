#include "platform/x11/ForeignWindow.h"

#include <X11/Xlib.h>

#include <mutex>

#include "platform/x11/XConnection.h"
#include "platform/x11/XErrorTrap.h"

namespace platform {
namespace {

// The queries of every X11ForeignWindows take turns: each installs the
// process's Xlib error handler for its time (see XErrorTrap), and traps must
// come and go in order.
std::mutex gQueryMutex;

struct Attributes {
  bool Viewable = false;
  WindowRect Rect;
};

}  // namespace

struct X11ForeignWindows::Connection {
  XConnection x;

  explicit Connection(const std::string& displayName) : x(displayName) {}

  std::optional<Attributes> Query(WindowId window) {
    Display* display = x.Handle();
    if (display == nullptr || window == 0) return std::nullopt;
    std::lock_guard lock(gQueryMutex);
    XErrorTrap trap(display);  // a window gone meanwhile gives BadWindow, noted here

    XWindowAttributes attributes{};
    int left = 0;
    int top = 0;
    Window child = 0;
    bool ok = XGetWindowAttributes(display, window, &attributes) != 0;
    // Where the window's inside begins on the screen.
    ok = ok &&
         XTranslateCoordinates(display, window, attributes.root, 0, 0, &left, &top, &child) != 0;
    // Any error of these requests has arrived once the server has answered.
    if (trap.Sync() != Success || !ok) return std::nullopt;

    const int32_t border = attributes.border_width;
    Attributes result;
    result.Viewable = attributes.map_state == IsViewable;
    result.Rect.Left = left - border;
    result.Rect.Top = top - border;
    result.Rect.Right = result.Rect.Left + attributes.width + 2 * border;
    result.Rect.Bottom = result.Rect.Top + attributes.height + 2 * border;
    return result;
  }
};

X11ForeignWindows::X11ForeignWindows(const std::string& displayName)
    : FConnection(std::make_unique<Connection>(displayName)) {}

X11ForeignWindows::~X11ForeignWindows() = default;

bool X11ForeignWindows::Connected() const {
  return static_cast<bool>(FConnection->x);
}

bool X11ForeignWindows::Exists(WindowId window) {
  return FConnection->Query(window).has_value();
}

bool X11ForeignWindows::IsVisible(WindowId window) {
  const std::optional<Attributes> attributes = FConnection->Query(window);
  return attributes && attributes->Viewable;
}

std::optional<WindowRect> X11ForeignWindows::Rect(WindowId window) {
  const std::optional<Attributes> attributes = FConnection->Query(window);
  if (!attributes) return std::nullopt;
  return attributes->Rect;
}

}  // namespace platform
