#include "platform/x11/XConnection.h"

#include <X11/Xlib.h>

namespace platform {

XConnection::XConnection(const std::string& displayName)
    : display_(XOpenDisplay(displayName.empty() ? nullptr : displayName.c_str())) {}

XConnection::~XConnection() {
  if (display_ != nullptr) XCloseDisplay(display_);
}

}  // namespace platform
