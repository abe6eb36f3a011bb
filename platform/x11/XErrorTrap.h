#pragma once
// Xlib reports protocol errors through one handler for the whole process; its
// default handler ends the program, and Qt's xcb platform installs one of its
// own. While an XErrorTrap lives, the errors of its connection are recorded
// in it instead (a window that its owner destroyed between two requests
// gives BadWindow, and reads as gone rather than ending us); errors of every
// other connection go on to the handler the trap replaced, as before. The
// handler in place before the trap is back once it is gone.
//
// Traps nest: the one made last must go first. Several threads may hold
// traps, each on its own connection, as long as they come and go in that
// order.

struct _XDisplay;  // Xlib's Display

namespace platform {

class XErrorTrap {
 public:
  explicit XErrorTrap(_XDisplay* display);
  ~XErrorTrap();
  XErrorTrap(const XErrorTrap&) = delete;
  XErrorTrap& operator=(const XErrorTrap&) = delete;

  // The code of the last error recorded since the trap was made or last
  // cleared; Success (0) when there was none.
  int LastError() const;
  bool Failed() const { return LastError() != 0; }
  // The last error, forgotten.
  int TakeError();
  // Waits until the server has answered every request sent so far, so that
  // their errors have arrived; then TakeError().
  int Sync();

 private:
  friend struct XErrorTrapHandler;  // the handler installed, in the .cpp

  _XDisplay* FDisplay;
  int FError = 0;
  // The handler replaced (an XErrorHandler; Xlib's error event type cannot
  // be named without its header).
  void (*FPrevious)() = nullptr;
  XErrorTrap* FOuter = nullptr;  // the trap made before, if any
};

}  // namespace platform
