#include "platform/x11/ToolkitX11.h"

#include <xcb/xcb.h>

#include <QGuiApplication>

namespace platform {

xcb_connection_t* ToolkitXcbConnection() {
  auto* x11 =
      qGuiApp == nullptr ? nullptr : qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  return x11 == nullptr ? nullptr : x11->connection();
}

bool DepthHoldsRgb32(xcb_connection_t* connection, uint8_t depth) {
  const xcb_setup_t* setup = xcb_get_setup(connection);
  const bool littleEndian = setup->image_byte_order == XCB_IMAGE_ORDER_LSB_FIRST;
  if (depth != 24 || littleEndian != (Q_BYTE_ORDER == Q_LITTLE_ENDIAN)) return false;
  for (auto format = xcb_setup_pixmap_formats_iterator(setup); format.rem > 0;
       xcb_format_next(&format)) {
    if (format.data->depth == depth) return format.data->bits_per_pixel == 32;
  }
  return false;
}

}  // namespace platform
