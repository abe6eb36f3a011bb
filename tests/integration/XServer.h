#pragma once
// A client connection to the test X server: windows to host the preview or to
// show on the desktop, pixels read back, input sent with xdotool.

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

class XServer {
 public:
  // A server busy with another client's connection may refuse one for a
  // moment: try for a while.
  // The server named by DISPLAY, or by `name` when given.
  explicit XServer(const std::string& name = std::string()) {
    for (int attempt = 0; attempt < 100 && display_ == nullptr; ++attempt) {
      display_ = XOpenDisplay(name.empty() ? nullptr : name.c_str());
      if (display_ == nullptr) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
  }
  ~XServer() {
    if (display_ != nullptr) XCloseDisplay(display_);
  }
  XServer(const XServer&) = delete;
  XServer& operator=(const XServer&) = delete;

  bool Connected() const { return display_ != nullptr; }
  Display* Raw() { return display_; }

  // A mapped top-level window filled with one colour (0xRRGGBB).
  Window CreateWindow(int x, int y, int width, int height, uint32_t rgb) {
    const int screen = DefaultScreen(display_);
    XSetWindowAttributes attributes{};
    attributes.background_pixel = rgb;
    attributes.override_redirect = True;  // placed exactly, no window manager needed
    const Window window =
        XCreateWindow(display_, RootWindow(display_, screen), x, y, static_cast<unsigned>(width),
                      static_cast<unsigned>(height), 0, CopyFromParent, InputOutput, CopyFromParent,
                      CWBackPixel | CWOverrideRedirect, &attributes);
    XMapRaised(display_, window);
    XSync(display_, False);
    return window;
  }
  // A mapped top-level window filled with one colour that a window manager
  // manages, as an application's window on the desktop: asked for at (x, y)
  // as the user placed it; the manager may add its frame round it. Waited
  // for until it is on screen.
  Window CreateManagedWindow(int x, int y, int width, int height, uint32_t rgb) {
    const int screen = DefaultScreen(display_);
    const Window window = XCreateSimpleWindow(display_, RootWindow(display_, screen), x, y,
                                              static_cast<unsigned>(width),
                                              static_cast<unsigned>(height), 0, 0, rgb);
    XSizeHints hints{};
    hints.flags = USPosition | USSize;
    hints.x = x;
    hints.y = y;
    hints.width = width;
    hints.height = height;
    XSetWMNormalHints(display_, window, &hints);
    XMapRaised(display_, window);
    XSync(display_, False);
    for (int attempt = 0; attempt < 250; ++attempt) {
      XWindowAttributes attributes;
      if (XGetWindowAttributes(display_, window, &attributes) &&
          attributes.map_state == IsViewable) {
        break;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return window;
  }
  void Unmap(Window window) {
    XUnmapWindow(display_, window);
    XSync(display_, False);
  }
  void Destroy(Window window) {
    XDestroyWindow(display_, window);
    XSync(display_, False);
  }

  // Pixels of the screen area (root window) that differ from `rgb`.
  long CountPixelsOtherThan(int x, int y, int width, int height, uint32_t rgb) {
    XSync(display_, False);
    XImage* image =
        XGetImage(display_, DefaultRootWindow(display_), x, y, static_cast<unsigned>(width),
                  static_cast<unsigned>(height), AllPlanes, ZPixmap);
    if (image == nullptr) return -1;
    long count = 0;
    for (int row = 0; row < height; ++row) {
      for (int col = 0; col < width; ++col) {
        if ((XGetPixel(image, col, row) & 0xFFFFFF) != rgb) ++count;
      }
    }
    XDestroyImage(image);
    return count;
  }
  // The smallest rectangle around the pixels of the screen area that differ
  // from `rgb`, in screen coordinates; empty when there are none.
  struct Box {
    int Left = 0, Top = 0, Right = -1, Bottom = -1;  // inclusive
    bool Empty() const { return Right < Left; }
    int Height() const { return Empty() ? 0 : Bottom - Top + 1; }
    friend bool operator==(const Box&, const Box&) = default;
  };
  Box BoundsOfPixelsOtherThan(int x, int y, int width, int height, uint32_t rgb) {
    Box box;
    XSync(display_, False);
    XImage* image =
        XGetImage(display_, DefaultRootWindow(display_), x, y, static_cast<unsigned>(width),
                  static_cast<unsigned>(height), AllPlanes, ZPixmap);
    if (image == nullptr) return box;
    for (int row = 0; row < height; ++row) {
      for (int col = 0; col < width; ++col) {
        if ((XGetPixel(image, col, row) & 0xFFFFFF) == rgb) continue;
        if (box.Empty()) {
          box = Box{x + col, y + row, x + col, y + row};
        } else {
          box.Left = std::min(box.Left, x + col);
          box.Right = std::max(box.Right, x + col);
          box.Bottom = y + row;
        }
      }
    }
    XDestroyImage(image);
    return box;
  }

  long CountPixelsEqualTo(int x, int y, int width, int height, uint32_t rgb) {
    const long other = CountPixelsOtherThan(x, y, width, height, rgb);
    return other < 0 ? -1 : static_cast<long>(width) * height - other;
  }

  // A mapped top-level window whose name starts with `prefix`, or 0.
  Window FindWindowNamed(const std::string& prefix) {
    Window root, parent, *children = nullptr;
    unsigned count = 0;
    Window found = 0;
    if (!XQueryTree(display_, DefaultRootWindow(display_), &root, &parent, &children, &count)) {
      return 0;
    }
    for (unsigned k = 0; k < count && found == 0; ++k) {
      XWindowAttributes attributes;
      char* name = nullptr;
      if (XGetWindowAttributes(display_, children[k], &attributes) &&
          attributes.map_state == IsViewable && XFetchName(display_, children[k], &name) &&
          name != nullptr) {
        if (std::string(name).rfind(prefix, 0) == 0) found = children[k];
      }
      if (name != nullptr) XFree(name);
    }
    if (children != nullptr) XFree(children);
    return found;
  }

  // The pixels of a viewable window (0xRRGGBB, row by row) as the screen
  // shows them; empty when it cannot be read.
  std::vector<uint32_t> WindowPixels(Window window) {
    XSync(display_, False);
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display_, window, &attributes)) return {};
    XImage* image = XGetImage(display_, window, 0, 0, static_cast<unsigned>(attributes.width),
                              static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
    if (image == nullptr) return {};
    std::vector<uint32_t> pixels;
    for (int row = 0; row < attributes.height; ++row) {
      for (int col = 0; col < attributes.width; ++col) {
        pixels.push_back(static_cast<uint32_t>(XGetPixel(image, col, row) & 0xFFFFFF));
      }
    }
    XDestroyImage(image);
    return pixels;
  }

  // Every viewable window titled exactly `name`, top-level ones and those a
  // window manager put into its frames, in no particular order.
  std::vector<Window> ViewableWindowsTitled(const std::string& name) {
    std::vector<Window> found;
    CollectTitled(DefaultRootWindow(display_), name, 0, found);
    return found;
  }

  // The child of the root that holds `window` (the window itself, or the
  // frame a window manager put it in), or 0.
  Window TopLevelOf(Window window) {
    const Window rootWindow = DefaultRootWindow(display_);
    while (window != 0) {
      Window root = 0, parent = 0, *children = nullptr;
      unsigned count = 0;
      if (!XQueryTree(display_, window, &root, &parent, &children, &count)) return 0;
      if (children != nullptr) XFree(children);
      if (parent == rootWindow) return window;
      window = parent;
    }
    return 0;
  }

  // Where `window` stands in the X server's stacking order of the root's
  // children, 0 the bottom, as `xwininfo -children` of the root lists them
  // (bottom last); -1 when it is not there.
  int StackingPosition(Window window) {
    const Window top = TopLevelOf(window);
    Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    int position = -1;
    if (top != 0 &&
        XQueryTree(display_, DefaultRootWindow(display_), &root, &parent, &children, &count)) {
      for (unsigned k = 0; k < count; ++k) {
        if (children[k] == top) position = static_cast<int>(k);
      }
    }
    if (children != nullptr) XFree(children);
    return position;
  }

  // True when the keyboard focus is on `window` or on a window inside it.
  bool HasFocus(Window window) {
    Window focus = 0;
    int revert = 0;
    XGetInputFocus(display_, &focus, &revert);
    const Window rootWindow = DefaultRootWindow(display_);
    while (focus != 0 && focus != PointerRoot && focus != rootWindow) {
      if (focus == window) return true;
      Window root = 0, parent = 0, *children = nullptr;
      unsigned count = 0;
      if (!XQueryTree(display_, focus, &root, &parent, &children, &count)) return false;
      if (children != nullptr) XFree(children);
      focus = parent;
    }
    return false;
  }

  int ScreenWidth() { return DisplayWidth(display_, DefaultScreen(display_)); }
  int ScreenHeight() { return DisplayHeight(display_, DefaultScreen(display_)); }

  // Input as a user gives it, through the XTEST extension.
  static bool Xdotool(const std::string& arguments) {
    return std::system(("xdotool " + arguments + " >/dev/null 2>&1").c_str()) == 0;
  }

 private:
  void CollectTitled(Window window, const std::string& name, int depth,
                     std::vector<Window>& found) {
    Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display_, window, &root, &parent, &children, &count)) return;
    for (unsigned k = 0; k < count; ++k) {
      XWindowAttributes attributes;
      if (!XGetWindowAttributes(display_, children[k], &attributes) ||
          attributes.map_state != IsViewable) {
        continue;
      }
      char* title = nullptr;
      if (XFetchName(display_, children[k], &title) && title != nullptr && name == title) {
        found.push_back(children[k]);
      }
      if (title != nullptr) XFree(title);
      // Clients sit at most a few levels down in a window manager's frames.
      if (depth < 3) CollectTitled(children[k], name, depth + 1, found);
    }
    if (children != nullptr) XFree(children);
  }

  Display* display_ = nullptr;
};
