#pragma once
// A connection of our own to an X server, beside the toolkit's: the questions
// asked on it (about another program's window, the Xinerama heads) and the
// errors they cause stay apart from the toolkit's connection and its error
// handling. Closed with the object.

#include <string>

struct _XDisplay;  // Xlib's Display; its header defines macros that clash with Qt's

namespace platform {

class XConnection {
 public:
  // Connects to the X server `displayName`, the default display ($DISPLAY)
  // when empty. Without a server the connection is null.
  explicit XConnection(const std::string& displayName = std::string());
  ~XConnection();
  XConnection(const XConnection&) = delete;
  XConnection& operator=(const XConnection&) = delete;

  // The Xlib connection; null when the server could not be reached.
  _XDisplay* Handle() const { return FDisplay; }
  explicit operator bool() const { return FDisplay != nullptr; }

 private:
  _XDisplay* FDisplay;
};

}  // namespace platform
