#include "platform/x11/XImagePixels.h"

#include <xcb/xcb.h>

#include <cstring>

// After Qt's headers: Xlib defines macros (Bool, Status) that Qt's use.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace platform {
namespace {

int MaskShift(unsigned long mask) {
  int shift = 0;
  while (mask != 0 && (mask & 1) == 0) {
    mask >>= 1;
    ++shift;
  }
  return shift;
}

}  // namespace

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

bool HoldsRgb32(const XImage& image) {
  return image.bits_per_pixel == 32 && image.red_mask == 0xFF0000 &&
         image.green_mask == 0xFF00 && image.blue_mask == 0xFF &&
         image.byte_order == (QSysInfo::ByteOrder == QSysInfo::LittleEndian ? LSBFirst : MSBFirst);
}

void MakeOpaque(uint32_t* pixels, size_t count) {
  for (size_t k = 0; k < count; ++k) pixels[k] |= 0xFF000000u;
}

QImage ToQImage(XImage& image) {
  QImage result(image.width, image.height, QImage::Format_RGB32);
  if (HoldsRgb32(image)) {
    for (int y = 0; y < image.height; ++y) {
      auto* row = reinterpret_cast<uint32_t*>(result.scanLine(y));
      std::memcpy(row, image.data + static_cast<ptrdiff_t>(y) * image.bytes_per_line,
                  static_cast<size_t>(image.width) * 4);
      MakeOpaque(row, static_cast<size_t>(image.width));
    }
    return result;
  }
  // Any other true-colour layout: pixel by pixel (a desktop picture once per
  // start, so speed does not matter).
  const unsigned long masks[3] = {image.red_mask, image.green_mask, image.blue_mask};
  for (int y = 0; y < image.height; ++y) {
    auto* row = reinterpret_cast<QRgb*>(result.scanLine(y));
    for (int x = 0; x < image.width; ++x) {
      const unsigned long pixel = XGetPixel(&image, x, y);
      int channel[3];
      for (int c = 0; c < 3; ++c) {
        const unsigned long maximum = masks[c] >> MaskShift(masks[c]);
        channel[c] =
            maximum == 0
                ? 0
                : static_cast<int>(((pixel & masks[c]) >> MaskShift(masks[c])) * 255 / maximum);
      }
      row[x] = qRgb(channel[0], channel[1], channel[2]);
    }
  }
  return result;
}

}  // namespace platform
