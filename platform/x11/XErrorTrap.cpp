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
      for (XErrorTrap* trap = gInnermost; trap != nullptr; trap = trap->FOuter) {
        if (trap->FDisplay == display) {
          trap->FError = error->error_code;
          return 0;
        }
        const auto previous = reinterpret_cast<XErrorHandler>(trap->FPrevious);
        if (previous != &Record) {
          passOn = previous;
          break;
        }
      }
    }
    return passOn != nullptr ? passOn(display, error) : 0;
  }
};

XErrorTrap::XErrorTrap(Display* display) : FDisplay(display) {
  std::lock_guard lock(gTrapsMutex);
  FPrevious = reinterpret_cast<void (*)()>(XSetErrorHandler(&XErrorTrapHandler::Record));
  FOuter = gInnermost;
  gInnermost = this;
}

XErrorTrap::~XErrorTrap() {
  std::lock_guard lock(gTrapsMutex);
  XSetErrorHandler(reinterpret_cast<XErrorHandler>(FPrevious));
  gInnermost = FOuter;
}

int XErrorTrap::LastError() const {
  std::lock_guard lock(gTrapsMutex);
  return FError;
}

int XErrorTrap::TakeError() {
  std::lock_guard lock(gTrapsMutex);
  const int error = FError;
  FError = Success;
  return error;
}

int XErrorTrap::Sync() {
  XSync(FDisplay, False);
  return TakeError();
}

}  // namespace platform
