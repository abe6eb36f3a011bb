#include "dib/XDIBUnit.h"

#include <QHash>
#include <QPainter>
#include <algorithm>
#include <cstring>
#include <string>

#include "dib/DIBSharedImage.h"

TDIB::TDIB() {
  SwitchTo(TDIBSharedImage::Empty());
}

TDIB::TDIB(const TDIB& other) {
  SwitchTo(other.FImage);
}

TDIB& TDIB::operator=(const TDIB& other) {
  AssignFrom(&other);
  return *this;
}

TDIB::~TDIB() = default;

void TDIB::SwitchTo(std::shared_ptr<TDIBSharedImage> image) {
  FImage = std::move(image);
  RequestedLayout = FImage->ImageLayout;
  ColorTable = FImage->ColorTable;
}

void TDIB::ClearToEmpty() {
  SwitchTo(TDIBSharedImage::Empty());
}

void TDIB::SetDimensions(int width, int height, int bitCount) {
  if (width == ImageWidth() && height == ImageHeight() && bitCount == BitsPerPixel() &&
      RequestedLayout.SameMasks(CurrentLayout())) {
    return;
  }
  if (width <= 0 || height <= 0) {
    ClearToEmpty();
    return;
  }
  SwitchTo(TDIBSharedImage::Make(width, height, bitCount, RequestedLayout, ColorTable, false));
}

TDIBCanvas& TDIB::Surface() {
  if (!FCanvas) {
    FCanvas.reset(new TDIBCanvas([this](const TPaintCode& draw) { PaintPixels(draw); }));
  }
  return *FCanvas;
}

uint8_t* TDIB::RowAddress(int row) {
  if (row < 0 || row >= ImageHeight()) {
    throw EInvalidGraphicOperation("Index of the scanning line exceeded the range. (" +
                                   std::to_string(row) + ")");
  }
  MakePrivate();
  return FImage->Row(row);
}

uint8_t* TDIB::Pixels() {
  if (IsEmpty()) return nullptr;
  MakePrivate();
  return FImage->Row(0);
}

void TDIB::MakePrivate() {
  if (FImage->PixelBytes == 0) return;
  if (FImage.use_count() > 1 || FImage->RunLengthEncoded) {
    // The copy has the shared image's colours; keep colours not yet applied.
    const TColorTable pending = ColorTable;
    SwitchTo(FImage->PrivateCopy());
    ColorTable = pending;
  }
}

void TDIB::ApplyColors() {
  if (ColorTable == FImage->ColorTable) return;
  MakePrivate();
  if (FImage == TDIBSharedImage::Empty()) {
    // The empty image is everybody's: give this bitmap an empty one of its own.
    auto own = std::make_shared<TDIBSharedImage>();
    own->ColorTable = FImage->ColorTable;
    FImage = std::move(own);
  }
  FImage->StoreColors(ColorTable);
}

int TDIB::ImageWidth() const {
  return FImage->ImageWidth;
}

int TDIB::ImageHeight() const {
  return FImage->ImageHeight;
}

void TDIB::SetImageWidth(int value) {
  if (value <= 0) {
    ClearToEmpty();
  } else if (IsEmpty()) {
    SetDimensions(value, std::max(ImageHeight(), 1), 8);
  } else {
    SetDimensions(value, ImageHeight(), BitsPerPixel());
  }
}

void TDIB::SetImageHeight(int value) {
  if (value <= 0) {
    ClearToEmpty();
  } else if (IsEmpty()) {
    SetDimensions(std::max(ImageWidth(), 1), value, 8);
  } else {
    SetDimensions(ImageWidth(), value, BitsPerPixel());
  }
}

int TDIB::BitsPerPixel() const {
  return FImage->BitsPerPixel;
}

int TDIB::RowBytes() const {
  return FImage->RowBytes;
}

int64_t TDIB::PixelBytes() const {
  return FImage->PixelBytes;
}

const TPixelLayout& TDIB::CurrentLayout() const {
  return FImage->ImageLayout;
}

int TDIB::ColorCount() const {
  return FImage->ColorCount;
}

bool TDIB::IsRunLengthEncoded() const {
  return FImage->RunLengthEncoded;
}

TPaletteHandle TDIB::GetPaletteHandle() {
  TDIBSharedImage& image = *FImage;
  if (image.ColorCount == 0) return 0;
  if (image.PaletteHandle == 0 || image.PaletteDirty) {
    TPaletteManager& manager = TPaletteManager::Instance();
    manager.ReleasePalette(image.PaletteHandle);
    image.PaletteHandle = manager.AcquirePalette(image.ColorTable.data(), image.ColorCount);
    image.PaletteDirty = false;
  }
  return image.PaletteHandle;
}

void TDIB::SetPaletteHandle(TPaletteHandle palette) {
  TPaletteManager& manager = TPaletteManager::Instance();
  const QList<QRgb> colors = manager.Colors(palette);
  for (int i = 0; i < colors.size() && i < 256; ++i) {
    ColorTable[i] =
        TColorEntry{static_cast<uint8_t>(qBlue(colors[i])), static_cast<uint8_t>(qGreen(colors[i])),
                    static_cast<uint8_t>(qRed(colors[i])), 0};
  }
  manager.ReleasePalette(palette);
  ApplyColors();
}

void TDIB::AssignFrom(const TDIB* source) {
  if (source == nullptr) {
    ClearToEmpty();
  } else if (source != this) {
    SwitchTo(source->FImage);
  }
}

QImage TDIB::ToImage() const {
  return FImage->Picture();
}

void TDIB::DrawInto(QPainter& canvas, const QRect& rect) const {
  if (IsEmpty()) return;
  canvas.drawImage(rect, ToImage());
}

void TDIB::CopyRectInto(QPainter& canvas, const QRect& destination, const QRect& source) const {
  if (IsEmpty()) return;
  canvas.drawImage(destination, ToImage(), source);
}

namespace {

TColorTable TableOf(const QImage& picture) {
  TColorTable table{};
  const QList<QRgb> colors = picture.colorTable();
  for (int i = 0; i < colors.size() && i < 256; ++i) {
    table[i] =
        TColorEntry{static_cast<uint8_t>(qBlue(colors[i])), static_cast<uint8_t>(qGreen(colors[i])),
                    static_cast<uint8_t>(qRed(colors[i])), 0};
  }
  return table;
}

// Pixels with alpha as they look over black, as a cleared bitmap shows them.
QImage OverBlack(const QImage& picture) {
  QImage opaque(picture.size(), QImage::Format_RGB32);
  opaque.fill(Qt::black);
  QPainter painter(&opaque);
  painter.drawImage(0, 0, picture);
  return opaque;
}

}  // namespace

void TDIB::AssignFrom(const QImage& picture) {
  if (picture.isNull()) {
    ClearToEmpty();
    return;
  }
  int bits = 24;
  TPixelLayout layout = kLayout888;
  TColorTable table = ColorTable;
  QImage source;
  switch (picture.format()) {
    case QImage::Format_Mono:
    case QImage::Format_MonoLSB:
      bits = 1;
      source = picture.convertToFormat(QImage::Format_Mono);
      table = TableOf(source);
      if (source.colorCount() == 0) {  // as a bitmap draws: 0 white, 1 black
        table[0] = TColorEntry{255, 255, 255, 0};
        table[1] = TColorEntry{0, 0, 0, 0};
      }
      break;
    case QImage::Format_Indexed8:
      bits = 8;
      source = picture;
      table = TableOf(picture);
      break;
    case QImage::Format_Grayscale8:
      bits = 8;
      source = picture;
      table = GreyRampTable();
      break;
    case QImage::Format_RGB16:
    case QImage::Format_RGB555:
      bits = 16;
      layout = picture.format() == QImage::Format_RGB16 ? kLayout565 : kLayout555;
      source = picture;
      break;
    case QImage::Format_RGB32:
      bits = 32;
      source = picture;
      break;
    default:
      if (picture.hasAlphaChannel()) {
        bits = 32;
        source = OverBlack(picture);
      } else {
        source = picture.convertToFormat(QImage::Format_BGR888);
      }
  }
  auto image = TDIBSharedImage::Make(source.width(), source.height(), bits, layout, table, false);
  const size_t bytes =
      static_cast<size_t>(std::min<qsizetype>(source.bytesPerLine(), image->RowBytes));
  for (int y = 0; y < source.height(); ++y)
    std::memcpy(image->Row(y), source.constScanLine(y), bytes);
  SwitchTo(std::move(image));
}
// Painting on depths QPainter cannot draw on: through a 32-bit copy, then
// every changed pixel goes back as the nearest colour of the table.
namespace {

class NearestColor {
 public:
  NearestColor(const TColorTable& table, int count) : FTable(table), FCount(count) {}
  uint8_t operator()(QRgb color) {
    const auto known = FCache.constFind(color);
    if (known != FCache.constEnd()) return *known;
    int best = 0;
    int bestDistance = INT32_MAX;
    for (int i = 0; i < FCount; ++i) {
      const int dr = qRed(color) - FTable[i].Red;
      const int dg = qGreen(color) - FTable[i].Green;
      const int db = qBlue(color) - FTable[i].Blue;
      const int distance = dr * dr + dg * dg + db * db;
      if (distance < bestDistance) {
        best = i;
        bestDistance = distance;
      }
    }
    FCache.insert(color, static_cast<uint8_t>(best));
    return static_cast<uint8_t>(best);
  }

 private:
  const TColorTable& FTable;
  int FCount;
  QHash<QRgb, uint8_t> FCache;
};

void PutIndex(TDIBSharedImage& image, int x, int y, uint8_t index) {
  uint8_t* row = image.Row(y);
  switch (image.BitsPerPixel) {
    case 1: {
      const auto bit = static_cast<uint8_t>(0x80 >> (x % 8));
      row[x / 8] = static_cast<uint8_t>(index & 1 ? row[x / 8] | bit : row[x / 8] & ~bit);
      break;
    }
    case 4:
      row[x / 2] = x % 2 == 0 ? static_cast<uint8_t>((row[x / 2] & 0x0F) | (index << 4))
                              : static_cast<uint8_t>((row[x / 2] & 0xF0) | (index & 0x0F));
      break;
    default:
      row[x] = index;
  }
}

void PaintThroughCopy(TDIBSharedImage& image, const TPaintCode& draw) {
  const QImage before = image.Picture().convertToFormat(QImage::Format_RGB32);
  QImage after = before.copy();
  {
    QPainter painter(&after);
    draw(painter);
  }
  NearestColor nearest(image.ColorTable, image.ColorCount);
  for (int y = 0; y < image.ImageHeight; ++y) {
    const auto* old = reinterpret_cast<const QRgb*>(before.constScanLine(y));
    const auto* now = reinterpret_cast<const QRgb*>(after.constScanLine(y));
    for (int x = 0; x < image.ImageWidth; ++x) {
      if (old[x] != now[x]) PutIndex(image, x, y, nearest(now[x]));
    }
  }
}

}  // namespace

void TDIB::PaintPixels(const TPaintCode& draw) {
  if (IsEmpty()) return;
  MakePrivate();
  TDIBSharedImage& image = *FImage;
  if (image.BitsPerPixel >= 16) {
    QPainter painter(&image.Pixels);
    draw(painter);
  } else if (image.BitsPerPixel == 8 && image.ColorTable == GreyRampTable()) {
    // Grey levels are the indices: draw on the same bytes as a grey image.
    QImage grey(image.Pixels.bits(), image.ImageWidth, image.ImageHeight, image.RowBytes,
                QImage::Format_Grayscale8);
    QPainter painter(&grey);
    draw(painter);
  } else {
    PaintThroughCopy(image, draw);
  }
}
