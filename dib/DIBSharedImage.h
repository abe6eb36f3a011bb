#pragma once
// One pixel buffer of TDIB with everything that describes it. TDIB objects
// that copy one another hold the same TDIBSharedImage; it goes with the last.

#include <QByteArray>
#include <QImage>
#include <cstdint>
#include <memory>

#include "dib/DIBPalette.h"
#include "dib/DIBTypes.h"

// Never more pixel memory than this for one image (a 16384 x 8192 image at
// 32 bits), whatever a header asks for.
inline constexpr int64_t kMaxPixelBytes = int64_t{1} << 29;

struct TDIBSharedImage {
  int BitsPerPixel = 0;
  int ImageWidth = 0;
  int ImageHeight = 0;
  int RowBytes = 0;
  int64_t PixelBytes = 0;
  int ColorCount = 0;
  TPixelLayout ImageLayout = kLayout888;
  TColorTable ColorTable{};
  // Rows top row first. 1, 8, 16, 24 and 32 bits in the QImage format of the
  // same bytes; 4 bits as raw rows in an 8-bit image RowBytes wide.
  QImage Pixels;
  // While RunLengthEncoded: the RLE8 (8 bits) or RLE4 (4 bits) data as read.
  bool RunLengthEncoded = false;
  QByteArray Encoded;
  TPaletteHandle PaletteHandle = 0;
  bool PaletteDirty = true;

  TDIBSharedImage() = default;
  TDIBSharedImage(const TDIBSharedImage&) = delete;
  TDIBSharedImage& operator=(const TDIBSharedImage&) = delete;
  ~TDIBSharedImage();

  // 4 * ((bits * width + 31) / 32), in 64 bits so that no header overflows it.
  static int64_t RowBytesFor(int64_t width, int bits);
  // Errors "Bitcount in invalid (%d)" and "PixelFormat in invalid".
  static void CheckFormat(int bits, const TPixelLayout& layout);

  // A new image of that size, zero-filled unless compressed (the encoded
  // data comes later) or unless the caller overwrites every byte at once.
  // Errors as CheckFormat, and "DIB cannot be made".
  enum class Fill { Zeros, Overwritten };
  static std::shared_ptr<TDIBSharedImage> Make(int width, int height, int bits,
                                               const TPixelLayout& layout,
                                               const TColorTable& colors, bool compressed,
                                               Fill fill = Fill::Zeros);
  // The one empty image: 0 x 0, 8-8-8, grey ramp.
  static const std::shared_ptr<TDIBSharedImage>& Empty();

  // An uncompressed copy of its own: encoded pixels are expanded.
  std::shared_ptr<TDIBSharedImage> PrivateCopy() const;
  // Stores a colour table into the image (and the picture's colours).
  void StoreColors(const TColorTable& colors);
  // The pixels for drawing: 4-bit and encoded pixels expanded to 8 bits.
  QImage Picture() const;
  uint8_t* Row(int row) { return Pixels.scanLine(row); }
  const uint8_t* Row(int row) const { return Pixels.constScanLine(row); }
};

// The toolkit's colour table of the first count entries.
QList<QRgb> ToQtColors(const TColorTable& colors, int count);
