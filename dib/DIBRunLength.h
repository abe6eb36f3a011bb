#pragma once
// Expands run-length encoded bitmap data (RLE8, RLE4) into rows.

#include <cstddef>
#include <cstdint>

// Decodes `size` bytes of RLE8 (bits 8) or RLE4 (bits 4) data into an image
// of width x height pixels whose rows lie top row first, rowBytes apart (the
// data itself starts at the bottom row). Every write is clipped to the image;
// decoding stops at the end-of-picture escape or at the end of the data and
// never reads past it. Pixels the data never sets keep their value.
void DecodeRunLength(const uint8_t* data, size_t size, int bits, int width, int height,
                     uint8_t* topRow, int64_t rowBytes);
