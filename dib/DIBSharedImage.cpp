#include "dib/DIBSharedImage.h"

#include <cstring>
#include <string>

#include "dib/DIBRunLength.h"

namespace {

QImage::Format FormatFor(int bits, const TPixelLayout& layout) {
  switch (bits) {
    case 1:
      return QImage::Format_Mono;
    case 4:  // raw rows, see Pixels
    case 8:
      return bits == 8 ? QImage::Format_Indexed8 : QImage::Format_Grayscale8;
    case 16:
      return layout.SameMasks(kLayout565) ? QImage::Format_RGB16 : QImage::Format_RGB555;
    case 24:
      return QImage::Format_BGR888;
    default:
      return QImage::Format_RGB32;
  }
}

// The fourth byte of a 32-bit pixel is unused in the file format (and 0 in
// most files), but Qt reads it as alpha when it draws onto a surface with an
// alpha channel: hand out a copy with the byte set where it is not.
QImage WithOpaqueBytes(const QImage& pixels) {
  QImage opaque(pixels.size(), QImage::Format_RGB32);
  for (int y = 0; y < pixels.height(); ++y) {
    const auto* from = reinterpret_cast<const QRgb*>(pixels.constScanLine(y));
    auto* to = reinterpret_cast<QRgb*>(opaque.scanLine(y));
    for (int x = 0; x < pixels.width(); ++x) to[x] = from[x] | 0xFF000000u;
  }
  return opaque;
}

QImage Opaque(const QImage& pixels) {
  for (int y = 0; y < pixels.height(); ++y) {
    const auto* row = reinterpret_cast<const QRgb*>(pixels.constScanLine(y));
    for (int x = 0; x < pixels.width(); ++x) {
      if (qAlpha(row[x]) != 255) return WithOpaqueBytes(pixels);
    }
  }
  return pixels;
}

}  // namespace

QList<QRgb> ToQtColors(const TColorTable& colors, int count) {
  QList<QRgb> table;
  table.reserve(count);
  for (int i = 0; i < count; ++i) table.append(qRgb(colors[i].Red, colors[i].Green, colors[i].Blue));
  return table;
}

TDIBSharedImage::~TDIBSharedImage() {
  if (PaletteHandle != 0) TPaletteManager::Instance().ReleasePalette(PaletteHandle);
}

int64_t TDIBSharedImage::RowBytesFor(int64_t width, int bits) {
  return 4 * ((bits * width + 31) / 32);
}

void TDIBSharedImage::CheckFormat(int bits, const TPixelLayout& layout) {
  switch (bits) {
    case 1:
    case 4:
    case 8:
    case 24:
    case 32:
      if (!layout.SameMasks(kLayout888)) throw EInvalidGraphicOperation("PixelFormat in invalid");
      return;
    case 16:
      if (!layout.SameMasks(kLayout555) && !layout.SameMasks(kLayout565)) {
        throw EInvalidGraphicOperation("PixelFormat in invalid");
      }
      return;
    default:
      throw EInvalidGraphicOperation("Bitcount in invalid (" + std::to_string(bits) + ")");
  }
}

std::shared_ptr<TDIBSharedImage> TDIBSharedImage::Make(int width, int height, int bits,
                                                       const TPixelLayout& layout,
                                                       const TColorTable& colors,
                                                       bool compressed, Fill fill) {
  CheckFormat(bits, layout);
  const int64_t rowBytes = RowBytesFor(width, bits);
  if (width <= 0 || height <= 0 || rowBytes > kMaxPixelBytes / height) {
    throw EOutOfResources("DIB cannot be made");
  }
  auto image = std::make_shared<TDIBSharedImage>();
  image->BitsPerPixel = bits;
  image->ImageWidth = width;
  image->ImageHeight = height;
  image->RowBytes = static_cast<int>(rowBytes);
  image->PixelBytes = rowBytes * height;
  image->ColorCount = bits <= 8 ? 1 << bits : 0;
  image->ImageLayout = bits == 16 ? layout : kLayout888;
  image->RunLengthEncoded = compressed;
  if (!compressed) {
    const int pixelWidth = bits == 4 ? image->RowBytes : width;
    image->Pixels = QImage(pixelWidth, height, FormatFor(bits, layout));
    if (image->Pixels.isNull() || image->Pixels.bytesPerLine() != rowBytes) {
      throw EOutOfResources("DIB cannot be made");
    }
    // Never let a saved file carry whatever the memory held before.
    if (fill == Fill::Zeros) std::memset(image->Pixels.bits(), 0, static_cast<size_t>(image->PixelBytes));
  }
  image->StoreColors(colors);
  return image;
}

const std::shared_ptr<TDIBSharedImage>& TDIBSharedImage::Empty() {
  static const std::shared_ptr<TDIBSharedImage> empty = [] {
    auto image = std::make_shared<TDIBSharedImage>();
    image->ColorTable = GreyRampTable();
    return image;
  }();
  return empty;
}

void TDIBSharedImage::StoreColors(const TColorTable& colors) {
  ColorTable = colors;
  PaletteDirty = true;
  if (Pixels.format() == QImage::Format_Indexed8 || Pixels.format() == QImage::Format_Mono) {
    Pixels.setColorTable(ToQtColors(colors, ColorCount));
  }
}

std::shared_ptr<TDIBSharedImage> TDIBSharedImage::PrivateCopy() const {
  if (PixelBytes == 0) return Empty();
  auto copy = Make(ImageWidth, ImageHeight, BitsPerPixel, ImageLayout, ColorTable, false,
                   RunLengthEncoded ? Fill::Zeros : Fill::Overwritten);
  if (RunLengthEncoded) {
    DecodeRunLength(reinterpret_cast<const uint8_t*>(Encoded.constData()),
                    static_cast<size_t>(Encoded.size()), BitsPerPixel, ImageWidth, ImageHeight,
                    copy->Pixels.bits(), RowBytes);
  } else {
    std::memcpy(copy->Pixels.bits(), Pixels.constBits(), static_cast<size_t>(PixelBytes));
  }
  return copy;
}

QImage TDIBSharedImage::Picture() const {
  if (PixelBytes == 0) return QImage();
  if (RunLengthEncoded) return PrivateCopy()->Picture();
  if (BitsPerPixel == 32) return Opaque(Pixels);
  if (BitsPerPixel != 4) return Pixels;
  QImage expanded(ImageWidth, ImageHeight, QImage::Format_Indexed8);
  expanded.setColorTable(ToQtColors(ColorTable, ColorCount));
  for (int y = 0; y < ImageHeight; ++y) {
    const uint8_t* from = Row(y);
    uint8_t* to = expanded.scanLine(y);
    for (int x = 0; x < ImageWidth; ++x) {
      to[x] = x % 2 == 0 ? from[x / 2] >> 4 : from[x / 2] & 0x0F;
    }
  }
  return expanded;
}
