#include "dib/DIBRunLength.h"

namespace {

class PixelWriter {
 public:
  PixelWriter(int bits, int width, int height, uint8_t* topRow, int64_t rowBytes)
      : FBits(bits), FWidth(width), FHeight(height), FTopRow(topRow), FRowBytes(rowBytes) {}

  bool Done() const { return FY >= FHeight; }
  void EndLine() {
    FX = 0;
    ++FY;
  }
  void Move(int dx, int dy) {
    FX += dx;
    FY += dy;
  }
  // One pixel at the present position, dropped when it lies outside.
  void Put(uint8_t value) {
    if (FX < FWidth && FY < FHeight) {
      uint8_t* row = FTopRow + (FHeight - 1 - FY) * FRowBytes;
      if (FBits == 8) {
        row[FX] = value;
      } else if (FX % 2 == 0) {
        row[FX / 2] = static_cast<uint8_t>((row[FX / 2] & 0x0F) | (value << 4));
      } else {
        row[FX / 2] = static_cast<uint8_t>((row[FX / 2] & 0xF0) | (value & 0x0F));
      }
    }
    ++FX;
  }

 private:
  int FBits;
  int64_t FWidth;
  int64_t FHeight;
  uint8_t* FTopRow;
  int64_t FRowBytes;
  int64_t FX = 0;
  int64_t FY = 0;
};

// The value of pixel i of a run or absolute block byte: RLE8 the byte, RLE4
// its high nibble first, then its low one.
uint8_t Nibble(uint8_t byte, int bits, int i) {
  if (bits == 8) return byte;
  return i % 2 == 0 ? static_cast<uint8_t>(byte >> 4) : static_cast<uint8_t>(byte & 0x0F);
}

}  // namespace

void DecodeRunLength(const uint8_t* data, size_t size, int bits, int width, int height,
                     uint8_t* topRow, int64_t rowBytes) {
  if ((bits != 4 && bits != 8) || width <= 0 || height <= 0) return;
  PixelWriter out(bits, width, height, topRow, rowBytes);
  size_t at = 0;
  while (at + 2 <= size && !out.Done()) {
    const uint8_t count = data[at];
    const uint8_t value = data[at + 1];
    at += 2;
    if (count > 0) {
      for (int i = 0; i < count; ++i) out.Put(Nibble(value, bits, i));
      continue;
    }
    if (value == 0) {
      out.EndLine();
    } else if (value == 1) {
      return;
    } else if (value == 2) {
      if (at + 2 > size) return;
      out.Move(data[at], data[at + 1]);
      at += 2;
    } else {
      // An absolute block of `value` pixels, padded to an even byte count.
      const size_t bytes = bits == 8 ? value : (value + 1u) / 2;
      for (int i = 0; i < value; ++i) {
        const size_t byteAt = at + (bits == 8 ? i : i / 2);
        if (byteAt >= size) return;
        out.Put(Nibble(data[byteAt], bits, i));
      }
      at += bytes + (bytes % 2);
    }
  }
}
