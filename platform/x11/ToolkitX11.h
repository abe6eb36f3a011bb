#pragma once
// What our own X11 code needs from the toolkit's X connection.

#include <cstdint>

struct xcb_connection_t;

namespace platform {

// The toolkit's connection to the X server; null without a toolkit or on
// another platform (offscreen).
xcb_connection_t* ToolkitXcbConnection();

// Whether pixels of `depth` are 32-bit words that QImage::Format_RGB32 holds
// as they are: 24-bit colour, in the byte order of this machine.
bool DepthHoldsRgb32(xcb_connection_t* connection, uint8_t depth);

}  // namespace platform
