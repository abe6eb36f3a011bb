#include "platform/x11/X11WindowPut.h"

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "platform/x11/ToolkitX11.h"
#include "platform/x11/XImagePixels.h"

namespace platform {

X11WindowPut::X11WindowPut(WindowId window) : connection_(ToolkitXcbConnection()), window_(window) {
  if (connection_ == nullptr || window == 0) return;
  // An error is taken here, not left for the toolkit to report.
  xcb_generic_error_t* error = nullptr;
  std::unique_ptr<xcb_get_geometry_reply_t, decltype(&std::free)> geometry(
      xcb_get_geometry_reply(connection_, xcb_get_geometry(connection_, window), &error),
      &std::free);
  std::free(error);
  if (geometry == nullptr || !DepthHoldsRgb32(connection_, geometry->depth)) return;
  // Length in 4-byte units, header (6 units) included.
  const size_t largest = static_cast<size_t>(xcb_get_maximum_request_length(connection_)) * 4;
  maxBytesPerRequest_ = std::min(kMaxBytesPerRequest, largest - 24);
  const uint32_t gc = xcb_generate_id(connection_);
  error =
      xcb_request_check(connection_, xcb_create_gc_checked(connection_, gc, window, 0, nullptr));
  if (error == nullptr) gc_ = gc;
  std::free(error);
}

X11WindowPut::~X11WindowPut() {
  // Without the toolkit its connection is gone, and the server's side with it.
  if (gc_ != 0 && ToolkitXcbConnection() == connection_) xcb_free_gc(connection_, gc_);
}

bool X11WindowPut::Put(const QImage& frame, const QRegion& region) {
  if (!Usable() || frame.format() != QImage::Format_RGB32) return false;
  for (const QRect& rect : region.intersected(frame.rect())) PutRect(frame, rect);
  xcb_flush(connection_);
  return true;
}

void X11WindowPut::PutRect(const QImage& frame, const QRect& rect) {
  const size_t rowBytes = static_cast<size_t>(rect.width()) * 4;
  const int rowsPerRequest = static_cast<int>(std::max<size_t>(1, maxBytesPerRequest_ / rowBytes));
  // A rectangle as wide as the frame lies in one piece of its memory.
  const bool contiguous =
      rect.width() == frame.width() && static_cast<size_t>(frame.bytesPerLine()) == rowBytes;
  for (int top = rect.top(); top <= rect.bottom(); top += rowsPerRequest) {
    const int rows = std::min(rowsPerRequest, rect.bottom() + 1 - top);
    const size_t bytes = rowBytes * static_cast<size_t>(rows);
    const uint8_t* pixels = frame.constScanLine(top) + static_cast<size_t>(rect.left()) * 4;
    if (!contiguous) {
      rows_.resize(bytes);
      for (int row = 0; row < rows; ++row) {
        std::memcpy(rows_.data() + rowBytes * static_cast<size_t>(row),
                    frame.constScanLine(top + row) + static_cast<size_t>(rect.left()) * 4,
                    rowBytes);
      }
      pixels = rows_.data();
    }
    xcb_put_image(connection_, XCB_IMAGE_FORMAT_Z_PIXMAP, window_, gc_,
                  static_cast<uint16_t>(rect.width()), static_cast<uint16_t>(rows),
                  static_cast<int16_t>(rect.left()), static_cast<int16_t>(top), 0, 24,
                  static_cast<uint32_t>(bytes), pixels);
  }
}

}  // namespace platform
