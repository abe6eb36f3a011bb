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

  int ScreenWidth() { return DisplayWidth(display_, DefaultScreen(display_)); }
  int ScreenHeight() { return DisplayHeight(display_, DefaultScreen(display_)); }

  // Input as a user gives it, through the XTEST extension.
  static bool Xdotool(const std::string& arguments) {
    return std::system(("xdotool " + arguments + " >/dev/null 2>&1").c_str()) == 0;
  }

 private:
  Display* display_ = nullptr;
};
