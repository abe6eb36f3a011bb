#include "platform/x11/X11WindowPut.h"

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "platform/x11/ToolkitX11.h"
#include "platform/x11/XImagePixels.h"

namespace platform {

X11WindowPut::X11WindowPut(WindowId window) : FConnection(ToolkitXcbConnection()), FWindow(window) {
  if (FConnection == nullptr || window == 0) return;
  // An error is taken here, not left for the toolkit to report.
  xcb_generic_error_t* error = nullptr;
  std::unique_ptr<xcb_get_geometry_reply_t, decltype(&std::free)> geometry(
      xcb_get_geometry_reply(FConnection, xcb_get_geometry(FConnection, window), &error),
      &std::free);
  std::free(error);
  if (geometry == nullptr || !DepthHoldsRgb32(FConnection, geometry->depth)) return;
  // Length in 4-byte units, header (6 units) included.
  const size_t largest = static_cast<size_t>(xcb_get_maximum_request_length(FConnection)) * 4;
  FMaxBytesPerRequest = std::min(kMaxBytesPerRequest, largest - 24);
  const uint32_t gc = xcb_generate_id(FConnection);
  error =
      xcb_request_check(FConnection, xcb_create_gc_checked(FConnection, gc, window, 0, nullptr));
  if (error == nullptr) FGc = gc;
  std::free(error);
}

X11WindowPut::~X11WindowPut() {
  // Without the toolkit its connection is gone, and the server's side with it.
  if (FGc != 0 && ToolkitXcbConnection() == FConnection) xcb_free_gc(FConnection, FGc);
}

bool X11WindowPut::Put(const QImage& frame, const QRegion& region) {
  if (!Usable() || frame.format() != QImage::Format_RGB32) return false;
  for (const QRect& rect : region.intersected(frame.rect())) PutRect(frame, rect);
  xcb_flush(FConnection);
  return true;
}

void X11WindowPut::PutRect(const QImage& frame, const QRect& rect) {
  const size_t rowBytes = static_cast<size_t>(rect.width()) * 4;
  const int rowsPerRequest = static_cast<int>(std::max<size_t>(1, FMaxBytesPerRequest / rowBytes));
  // A rectangle as wide as the frame lies in one piece of its memory.
  const bool contiguous =
      rect.width() == frame.width() && static_cast<size_t>(frame.bytesPerLine()) == rowBytes;
  for (int top = rect.top(); top <= rect.bottom(); top += rowsPerRequest) {
    const int rows = std::min(rowsPerRequest, rect.bottom() + 1 - top);
    const size_t bytes = rowBytes * static_cast<size_t>(rows);
    const uint8_t* pixels = frame.constScanLine(top) + static_cast<size_t>(rect.left()) * 4;
    if (!contiguous) {
      FRows.resize(bytes);
      for (int row = 0; row < rows; ++row) {
        std::memcpy(FRows.data() + rowBytes * static_cast<size_t>(row),
                    frame.constScanLine(top + row) + static_cast<size_t>(rect.left()) * 4,
                    rowBytes);
      }
      pixels = FRows.data();
    }
    xcb_put_image(FConnection, XCB_IMAGE_FORMAT_Z_PIXMAP, FWindow, FGc,
                  static_cast<uint16_t>(rect.width()), static_cast<uint16_t>(rows),
                  static_cast<int16_t>(rect.left()), static_cast<int16_t>(top), 0, 24,
                  static_cast<uint32_t>(bytes), pixels);
  }
}

}  // namespace platform
