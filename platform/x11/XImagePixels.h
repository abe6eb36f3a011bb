#pragma once
// X pixels as QImage pixels. The X server hands out 24-bit colour in 32-bit
// words with the fourth byte 0; QImage::Format_RGB32 holds the same words
// with that byte 0xFF (Qt reads it as alpha in some drawing paths). Other
// layouts (16-bit colour, other masks) are converted pixel by pixel.

#include <QImage>
#include <cstddef>
#include <cstdint>

struct _XImage;  // Xlib's XImage
struct xcb_connection_t;

namespace platform {

// Whether pixels of `depth` on the server of `connection` are 32-bit words
// that QImage::Format_RGB32 holds as they are: 24-bit colour, in the byte
// order of this machine.
bool DepthHoldsRgb32(xcb_connection_t* connection, uint8_t depth);

// The same for an Xlib image: 32 bits per pixel, red, green and blue masks
// 0xFF0000, 0xFF00, 0xFF, and this machine's byte order.
bool HoldsRgb32(const _XImage& image);

// Sets the fourth byte of `count` 32-bit pixels, in place.
void MakeOpaque(uint32_t* pixels, size_t count);

// An Xlib image of any true-colour layout as an opaque Format_RGB32 picture;
// each channel scaled from its mask's range to 0..255.
QImage ToQImage(_XImage& image);

}  // namespace platform
