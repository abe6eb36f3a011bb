#include "platform/x11/ScreensaverWindow.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <cstring>
#include <iostream>
#include <optional>

#include "platform/x11/XConnection.h"
#include "platform/x11/XErrorTrap.h"
#include "platform/x11/XImagePixels.h"

namespace platform {

struct ScreensaverWindow::State {
  std::optional<XConnection> connection;
  Display* display = nullptr;  // connection's, null without a server
  // For as long as we hold the window: errors on our connection (the host
  // destroyed its window, shared memory refused) are noted, not fatal.
  std::optional<XErrorTrap> trap;
  Window window = 0;
  Visual* visual = nullptr;
  int depth = 0;
  QSize size;
  GC gc = nullptr;
  bool destroyed = false;
  bool drawable = true;  // a pixel layout we can write
  // The frame travels through shared memory when the server offers it.
  bool useShm = false;
  XShmSegmentInfo shm{};
  XImage* shmImage = nullptr;
  bool wholeFrame = true;  // the window shows nothing of ours yet, or lost it

  // Runs the requests in `send` and waits until the server has answered;
  // returns the X error they caused (Success when none).
  template <typename F>
  int Checked(F send) {
    trap->TakeError();
    send();
    return trap->Sync();
  }

  void FreeShm() {
    if (shmImage == nullptr) return;
    XShmDetach(display, &shm);
    XSync(display, False);
    XDestroyImage(shmImage);  // frees the XImage, not the segment
    shmdt(shm.shmaddr);
    shmImage = nullptr;
  }

  // Shared memory for frames of `size`; false leaves the plain path.
  bool MakeShm() {
    FreeShm();
    if (!XShmQueryExtension(display)) return false;
    shmImage =
        XShmCreateImage(display, visual, static_cast<unsigned>(depth), ZPixmap, nullptr, &shm,
                        static_cast<unsigned>(size.width()), static_cast<unsigned>(size.height()));
    if (shmImage == nullptr) return false;
    if (!HoldsRgb32(*shmImage)) {
      XDestroyImage(shmImage);
      shmImage = nullptr;
      return false;
    }
    shm.shmid = shmget(IPC_PRIVATE, static_cast<size_t>(shmImage->bytes_per_line) * size.height(),
                       IPC_CREAT | 0600);
    if (shm.shmid < 0) {
      XDestroyImage(shmImage);
      shmImage = nullptr;
      return false;
    }
    shm.shmaddr = shmImage->data = static_cast<char*>(shmat(shm.shmid, nullptr, 0));
    shm.readOnly = True;
    const bool attached = shm.shmaddr != reinterpret_cast<char*>(-1) &&
                          Checked([&] { XShmAttach(display, &shm); }) == Success;
    shmctl(shm.shmid, IPC_RMID, nullptr);  // gone once both sides detach
    if (!attached) {                       // a server on another machine, for example
      if (shm.shmaddr != reinterpret_cast<char*>(-1)) shmdt(shm.shmaddr);
      shmImage->data = nullptr;
      XDestroyImage(shmImage);
      shmImage = nullptr;
      return false;
    }
    return true;
  }

  void Prepare() {
    useShm = MakeShm();
    wholeFrame = true;
    // The plain path needs the same layout, checked on a one-pixel image.
    if (!useShm) {
      XImage* probe = XCreateImage(display, visual, static_cast<unsigned>(depth), ZPixmap, 0,
                                   nullptr, 1, 1, 32, 0);
      drawable = probe != nullptr && HoldsRgb32(*probe);
      if (probe != nullptr) XDestroyImage(probe);
      if (!drawable) {
        std::cerr << "lettrance: the host window's pixel format (depth " << depth
                  << ") is not supported; nothing is drawn" << std::endl;
      }
    }
  }
};

ScreensaverWindow::ScreensaverWindow(WindowId window) : FState(std::make_unique<State>()) {
  State& s = *FState;
  s.connection.emplace();
  s.display = s.connection->Handle();
  if (s.display == nullptr) return;
  s.trap.emplace(s.display);
  s.window = window != 0 ? window : DefaultRootWindow(s.display);
  XWindowAttributes attributes{};
  Status ok = 0;
  // Resizes, destruction and exposure only: input stays with the host. Asked
  // for before the size is read, so that a resize in between is not lost (a
  // settings dialog still laying itself out resizes its preview pane).
  if (s.Checked([&] {
        XSelectInput(s.display, s.window, StructureNotifyMask | ExposureMask);
        ok = XGetWindowAttributes(s.display, s.window, &attributes);
      }) != Success ||
      ok == 0) {
    s.window = 0;
    return;
  }
  s.visual = attributes.visual;
  s.depth = attributes.depth;
  s.size = QSize(attributes.width, attributes.height);
  s.gc = XCreateGC(s.display, s.window, 0, nullptr);
  s.Prepare();
}

ScreensaverWindow::~ScreensaverWindow() {
  State& s = *FState;
  if (s.display == nullptr) return;
  s.FreeShm();
  if (s.gc != nullptr) XFreeGC(s.display, s.gc);
  XSync(s.display, False);
  // Closed while the trap still holds: closing waits for the server, and
  // errors of requests still on their way arrive then.
  s.connection.reset();
  s.trap.reset();
}

bool ScreensaverWindow::Valid() const {
  return FState->display != nullptr && FState->window != 0;
}

WindowId ScreensaverWindow::Id() const {
  return static_cast<WindowId>(FState->window);
}

QSize ScreensaverWindow::Size() const {
  return FState->size;
}

QRect ScreensaverWindow::ScreenRect() const {
  State& s = *FState;
  int x = 0, y = 0;
  if (Valid() && !s.destroyed) {
    Window child = 0;
    s.Checked([&] {
      if (!XTranslateCoordinates(s.display, s.window, DefaultRootWindow(s.display), 0, 0, &x, &y,
                                 &child)) {
        x = y = 0;  // on another screen of the display
      }
    });
  }
  return QRect(QPoint(x, y), s.size);
}

QImage ScreensaverWindow::HostScreenshot() {
  State& s = *FState;
  if (!Valid()) return {};
  const Atom name = XInternAtom(s.display, "_SCREENSAVER_SCREENSHOT", False);
  Atom type = None;
  int format = 0;
  unsigned long count = 0;
  unsigned long remaining = 0;
  unsigned char* data = nullptr;
  Pixmap pixmap = None;
  s.Checked([&] {
    if (XGetWindowProperty(s.display, s.window, name, 0, 1, False, XA_PIXMAP, &type, &format,
                           &count, &remaining, &data) == Success &&
        type == XA_PIXMAP && format == 32 && count == 1) {
      pixmap = static_cast<Pixmap>(*reinterpret_cast<unsigned long*>(data));
    }
  });
  if (data != nullptr) XFree(data);
  if (pixmap == None) return {};

  Window root = 0;
  int x = 0, y = 0;
  unsigned width = 0, height = 0, border = 0, depth = 0;
  XImage* image = nullptr;
  const int error = s.Checked([&] {
    if (XGetGeometry(s.display, pixmap, &root, &x, &y, &width, &height, &border, &depth)) {
      image = XGetImage(s.display, pixmap, 0, 0, width, height, AllPlanes, ZPixmap);
    }
  });
  if (error != Success || image == nullptr) {
    if (image != nullptr) XDestroyImage(image);
    return {};
  }
  // A pixmap has no visual, so Xlib leaves the colour masks empty: the
  // pixels are laid out as the window's.
  if (image->red_mask == 0 && image->green_mask == 0 && image->blue_mask == 0) {
    image->red_mask = s.visual->red_mask;
    image->green_mask = s.visual->green_mask;
    image->blue_mask = s.visual->blue_mask;
  }
  QImage picture = ToQImage(*image);
  XDestroyImage(image);
  return picture;
}

void ScreensaverWindow::Show(const QImage& frame, const QRect& changed) {
  State& s = *FState;
  if (!Valid() || s.destroyed || !s.drawable || frame.isNull()) return;
  const QImage rgb =
      frame.format() == QImage::Format_RGB32 || frame.format() == QImage::Format_ARGB32
          ? frame
          : frame.convertToFormat(QImage::Format_RGB32);
  const int width = std::min(rgb.width(), s.size.width());
  const int height = std::min(rgb.height(), s.size.height());
  if (width <= 0 || height <= 0) return;
  if (s.useShm) {
    // Only the band of rows that changed since the last frame travels to the
    // server: the text covers a strip of the screen, the rest stays as it was
    // (until the window is exposed, which makes the next frame go whole).
    // Rows within the changed bounds that came out the same are left out too.
    int first = height;
    int last = -1;
    const size_t rowBytes = static_cast<size_t>(width) * 4;
    const int top = s.wholeFrame ? 0 : std::max(changed.top(), 0);
    const int bottom = s.wholeFrame ? height - 1 : std::min(changed.bottom(), height - 1);
    for (int y = top; y <= bottom; ++y) {
      char* row = s.shmImage->data + static_cast<ptrdiff_t>(y) * s.shmImage->bytes_per_line;
      if (!s.wholeFrame && std::memcmp(row, rgb.constScanLine(y), rowBytes) == 0) continue;
      std::memcpy(row, rgb.constScanLine(y), rowBytes);
      first = std::min(first, y);
      last = y;
    }
    s.wholeFrame = false;
    if (last < first) return;
    XShmPutImage(s.display, s.window, s.gc, s.shmImage, 0, first, 0, first,
                 static_cast<unsigned>(width), static_cast<unsigned>(last - first + 1), False);
  } else {
    XImage* image =
        XCreateImage(s.display, s.visual, static_cast<unsigned>(s.depth), ZPixmap, 0,
                     const_cast<char*>(reinterpret_cast<const char*>(rgb.constBits())),
                     static_cast<unsigned>(rgb.width()), static_cast<unsigned>(rgb.height()), 32,
                     static_cast<int>(rgb.bytesPerLine()));
    if (image == nullptr) return;
    XPutImage(s.display, s.window, s.gc, image, 0, 0, 0, 0, static_cast<unsigned>(width),
              static_cast<unsigned>(height));
    image->data = nullptr;  // the frame's pixels are not ours to free
    XDestroyImage(image);
  }
  // The shared segment is reused for the next frame, so the server must be
  // done with it; waiting here also paces us to what the server can take.
  const int error = s.trap->Sync();
  if (error == BadWindow || error == BadDrawable) s.destroyed = true;
}

int ScreensaverWindow::ConnectionFd() const {
  return FState->display != nullptr ? ConnectionNumber(FState->display) : -1;
}

ScreensaverWindow::TChanges ScreensaverWindow::Changes() {
  State& s = *FState;
  TChanges changes;
  if (!Valid()) {
    changes.Destroyed = true;
    return changes;
  }
  const QSize before = s.size;
  while (XPending(s.display) > 0) {
    XEvent event;
    XNextEvent(s.display, &event);
    if (event.type == DestroyNotify && event.xdestroywindow.window == s.window) s.destroyed = true;
    if (event.type == Expose || event.type == MapNotify) s.wholeFrame = true;
    if (event.type == ConfigureNotify && event.xconfigure.window == s.window) {
      s.size = QSize(event.xconfigure.width, event.xconfigure.height);
    }
  }
  const int error = s.trap->TakeError();
  if (error == BadWindow || error == BadDrawable) s.destroyed = true;
  changes.Destroyed = s.destroyed;
  if (!s.destroyed && s.size != before) {
    s.Prepare();
    changes.NewSize = s.size;
  }
  return changes;
}

}  // namespace platform
