#pragma once
// The toolkit's own connection to the X server, for our X11 code that works
// on the toolkit's windows or beside its requests.

struct xcb_connection_t;
struct _XDisplay;  // Xlib's Display

namespace platform {

// The toolkit's connection to the X server; null without a toolkit or on
// another platform (offscreen).
xcb_connection_t* ToolkitXcbConnection();

// The same connection as an Xlib display; null likewise.
_XDisplay* ToolkitXlibDisplay();

}  // namespace platform
