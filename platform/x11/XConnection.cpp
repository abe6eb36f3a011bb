#include "platform/x11/XConnection.h"

#include <X11/Xlib.h>

namespace platform {

XConnection::XConnection(const std::string& displayName)
    : FDisplay(XOpenDisplay(displayName.empty() ? nullptr : displayName.c_str())) {}

XConnection::~XConnection() {
  if (FDisplay != nullptr) XCloseDisplay(FDisplay);
}

}  // namespace platform
