#pragma once
// The X server's screen pixels copied through shared memory (MIT-SHM): the
// server writes them straight into our memory instead of sending several
// megabytes through the X connection.

#include <QImage>
#include <QRect>

namespace platform {

// The pixels of `area` (device pixels of the root window) of the X display Qt
// is connected to, opaque, in QImage::Format_RGB32; a null image when Qt does
// not run on X11, the server lacks MIT-SHM or its pixels are not 32-bit
// true colour.
QImage GrabX11Screen(const QRect& area);

}  // namespace platform
