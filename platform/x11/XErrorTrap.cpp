#include "platform/x11/XErrorTrap.h"

#include <X11/Xlib.h>

#include <mutex>

namespace platform {
namespace {

std::mutex gTrapsMutex;
XErrorTrap* gInnermost = nullptr;  // the trap made last

}  // namespace

struct XErrorTrapHandler {
  // Xlib's error handler while a trap lives. An error of a trapped
  // connection is recorded in its trap; any other goes to the handler that
  // the outermost trap below a foreign handler replaced (another program
  // part's handler, Qt's, or Xlib's default), as each trap would have passed
  // it on by itself.
  static int Record(Display* display, XErrorEvent* error) {
    XErrorHandler passOn = nullptr;
    {
      std::lock_guard lock(gTrapsMutex);
      for (XErrorTrap* trap = gInnermost; trap != nullptr; trap = trap->outer_) {
        if (trap->display_ == display) {
          trap->error_ = error->error_code;
          return 0;
        }
        const auto previous = reinterpret_cast<XErrorHandler>(trap->previous_);
        if (previous != &Record) {
          passOn = previous;
          break;
        }
      }
    }
    return passOn != nullptr ? passOn(display, error) : 0;
  }
};

XErrorTrap::XErrorTrap(Display* display) : display_(display) {
  std::lock_guard lock(gTrapsMutex);
  previous_ = reinterpret_cast<void (*)()>(XSetErrorHandler(&XErrorTrapHandler::Record));
  outer_ = gInnermost;
  gInnermost = this;
}

XErrorTrap::~XErrorTrap() {
  std::lock_guard lock(gTrapsMutex);
  XSetErrorHandler(reinterpret_cast<XErrorHandler>(previous_));
  gInnermost = outer_;
}

int XErrorTrap::LastError() const {
  std::lock_guard lock(gTrapsMutex);
  return error_;
}

int XErrorTrap::TakeError() {
  std::lock_guard lock(gTrapsMutex);
  const int error = error_;
  error_ = Success;
  return error;
}

int XErrorTrap::Sync() {
  XSync(display_, False);
  return TakeError();
}

}  // namespace platform
