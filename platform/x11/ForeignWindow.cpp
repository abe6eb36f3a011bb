#include "platform/x11/ForeignWindow.h"

#include <X11/Xlib.h>

#include <mutex>

namespace platform {
namespace {

// Xlib reports protocol errors through one handler for the whole process,
// and its default handler ends the program. While a query runs, ours is
// installed: it notes errors of our connection and passes any other
// connection's errors on to the handler it replaced.
std::mutex gQueryMutex;
Display* gQueryDisplay = nullptr;
bool gQueryFailed = false;
XErrorHandler gPreviousHandler = nullptr;

int NoteQueryError(Display* display, XErrorEvent* error) {
  if (display == gQueryDisplay) {
    gQueryFailed = true;
    return 0;
  }
  return gPreviousHandler != nullptr ? gPreviousHandler(display, error) : 0;
}

struct Attributes {
  bool Viewable = false;
  WindowRect Rect;
};

}  // namespace

struct X11ForeignWindows::Connection {
  Display* display = nullptr;

  std::optional<Attributes> Query(WindowId window) {
    if (display == nullptr || window == 0) return std::nullopt;
    std::lock_guard lock(gQueryMutex);
    gQueryDisplay = display;
    gQueryFailed = false;
    gPreviousHandler = XSetErrorHandler(NoteQueryError);

    XWindowAttributes attributes{};
    int left = 0;
    int top = 0;
    Window child = 0;
    bool ok = XGetWindowAttributes(display, window, &attributes) != 0;
    // Where the window's inside begins on the screen.
    ok = ok &&
         XTranslateCoordinates(display, window, attributes.root, 0, 0, &left, &top, &child) != 0;
    XSync(display, False);  // any error of these requests has arrived now

    XSetErrorHandler(gPreviousHandler);
    gPreviousHandler = nullptr;
    gQueryDisplay = nullptr;
    if (!ok || gQueryFailed) return std::nullopt;

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
    : FConnection(std::make_unique<Connection>()) {
  FConnection->display = XOpenDisplay(displayName.empty() ? nullptr : displayName.c_str());
}

X11ForeignWindows::~X11ForeignWindows() {
  if (FConnection->display != nullptr) XCloseDisplay(FConnection->display);
}

bool X11ForeignWindows::Connected() const {
  return FConnection->display != nullptr;
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
