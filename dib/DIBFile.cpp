// Reading and writing the Windows bitmap format: the 14-byte file header, the
// 12- and 40-byte information headers, bit-field masks, the colour table and
// the pixels, rows bottom first (top first for a negative height) or RLE4 and
// RLE8 encoded. Every number of a header is checked before memory is taken
// for it, so that no file makes the reader allocate more than it can fill.
#include <QBuffer>
#include <algorithm>
#include <climits>
#include <cstring>
#include <optional>
#include <vector>

#include "dib/DIBSharedImage.h"
#include "dib/XDIBUnit.h"

namespace {

constexpr int kFileHeaderSize = 14;
constexpr int kInfoHeaderSize = 40;
constexpr int kCoreHeaderSize = 12;
constexpr uint32_t kCompressionNone = 0;
constexpr uint32_t kCompressionRle8 = 1;
constexpr uint32_t kCompressionRle4 = 2;
constexpr uint32_t kCompressionBitFields = 3;
// RLE packs at most 255 pixels into two bytes; line ends and skips pack more.
// Decoded pixels beyond this many bytes per encoded byte are not believed.
constexpr int64_t kMaxRunLengthGain = 1024;

[[noreturn]] void Invalid() {
  throw EInvalidGraphic("DIB is invalid");
}

uint16_t U16(const uint8_t* p) {
  return static_cast<uint16_t>(p[0] | p[1] << 8);
}
uint32_t U32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}
void Put16(QByteArray& out, uint32_t value) {
  out.append(static_cast<char>(value & 0xFF));
  out.append(static_cast<char>((value >> 8) & 0xFF));
}
void Put32(QByteArray& out, uint32_t value) {
  Put16(out, value & 0xFFFF);
  Put16(out, value >> 16);
}

// Reads from a stream, counting what it read and knowing, where the stream
// has a size, how much is left.
class StreamReader {
 public:
  explicit StreamReader(QIODevice& stream) : FStream(stream) {}

  // As many of the bytes as the stream still has.
  int64_t ReadSome(void* to, int64_t bytes) {
    int64_t done = 0;
    auto* out = static_cast<char*>(to);
    while (done < bytes) {
      const qint64 got = FStream.read(out + done, bytes - done);
      if (got <= 0) break;
      done += got;
    }
    FPosition += done;
    return done;
  }
  void Read(void* to, int64_t bytes) {
    if (ReadSome(to, bytes) != bytes) Invalid();
  }
  void Skip(int64_t bytes) {
    char scrap[4096];
    while (bytes > 0) {
      const int64_t step = std::min<int64_t>(bytes, sizeof scrap);
      Read(scrap, step);
      bytes -= step;
    }
  }
  // Bytes still to come, or -1 for a stream without a size.
  int64_t Left() const {
    if (FStream.isSequential()) return -1;
    return std::max<int64_t>(0, FStream.size() - FStream.pos());
  }
  int64_t Position() const { return FPosition; }

 private:
  QIODevice& FStream;
  int64_t FPosition = 0;
};

struct BodyHeader {
  int64_t width = 0;
  int64_t height = 0;
  int bits = 0;
  uint32_t compression = kCompressionNone;
  uint32_t imageSize = 0;
  uint32_t colorsUsed = 0;
  int colorEntrySize = 4;
  TPixelLayout layout = kLayout888;
};

BodyHeader ReadHeader(StreamReader& in, uint32_t headerSize) {
  BodyHeader header;
  uint8_t bytes[kInfoHeaderSize - 4];
  if (headerSize == kCoreHeaderSize) {
    in.Read(bytes, kCoreHeaderSize - 4);
    header.width = U16(bytes);
    header.height = U16(bytes + 2);
    header.bits = U16(bytes + 6);
    header.colorEntrySize = 3;
  } else if (headerSize == kInfoHeaderSize) {
    in.Read(bytes, kInfoHeaderSize - 4);
    header.width = static_cast<int32_t>(U32(bytes));
    header.height = static_cast<int32_t>(U32(bytes + 4));
    header.bits = U16(bytes + 10);
    header.compression = U32(bytes + 12);
    header.imageSize = U32(bytes + 16);
    header.colorsUsed = U32(bytes + 28);
  } else {
    Invalid();
  }
  if (header.compression == kCompressionBitFields) {
    uint8_t masks[12];
    in.Read(masks, sizeof masks);
    header.layout = TPixelLayout::FromMasks(U32(masks), U32(masks + 4), U32(masks + 8));
  } else if (header.bits == 16) {
    header.layout = kLayout555;
  }
  return header;
}

// The colour table follows the header. Where the file says where its pixels
// start, the table never reaches into them.
TColorTable ReadColors(StreamReader& in, const BodyHeader& header, int64_t pixelOffset) {
  int64_t count = header.colorsUsed;
  if (count == 0 && header.bits <= 8) count = int64_t{1} << header.bits;
  count = std::min<int64_t>(count, 256);
  if (pixelOffset >= in.Position()) {
    count = std::min(count, (pixelOffset - in.Position()) / header.colorEntrySize);
  }
  TColorTable table{};
  uint8_t entry[4];
  for (int64_t i = 0; i < count; ++i) {
    in.Read(entry, header.colorEntrySize);
    table[i] = TColorEntry{entry[0], entry[1], entry[2], 0};
  }
  return table;
}

// Where each channel starts in a 32-bit pixel whose masks are 8-bit runs in
// another place than the standard one (some writers store them so); empty
// for any other layout. Such pixels are rearranged into the standard layout
// on reading, so they are neither refused nor shown with swapped channels.
struct ChannelShifts {
  int red = 0, green = 0, blue = 0;
};

std::optional<ChannelShifts> ShiftsOf(const TPixelLayout& layout) {
  const auto shift = [](uint32_t mask) -> int {
    for (int i = 0; i <= 24; ++i) {
      if (mask == uint32_t{0xFF} << i) return i;
    }
    return -1;
  };
  const ChannelShifts shifts{shift(layout.RedMask), shift(layout.GreenMask),
                             shift(layout.BlueMask)};
  const bool disjoint = (layout.RedMask & layout.GreenMask) == 0 &&
                        (layout.RedMask & layout.BlueMask) == 0 &&
                        (layout.GreenMask & layout.BlueMask) == 0;
  if (shifts.red < 0 || shifts.green < 0 || shifts.blue < 0 || !disjoint) return std::nullopt;
  return shifts;
}

void RepackRow(uint8_t* row, int width, const ChannelShifts& shifts) {
  for (int x = 0; x < width; ++x, row += 4) {
    const uint32_t pixel =
        uint32_t{row[0]} | uint32_t{row[1]} << 8 | uint32_t{row[2]} << 16 | uint32_t{row[3]} << 24;
    row[0] = static_cast<uint8_t>(pixel >> shifts.blue);
    row[1] = static_cast<uint8_t>(pixel >> shifts.green);
    row[2] = static_cast<uint8_t>(pixel >> shifts.red);
    row[3] = 0;
  }
}

// Rows in large reads (few calls into the stream, straight past its buffer)
// through a scratch block small enough to stay in the cache.
void ReadRows(StreamReader& in, TDIBSharedImage& image, bool bottomRowFirst) {
  const int64_t rowBytes = image.RowBytes;
  const int64_t height = image.ImageHeight;
  const int64_t rowsPerRead = std::max<int64_t>(1, (256 * 1024) / rowBytes);
  std::vector<uint8_t> scratch(static_cast<size_t>(std::min(rowsPerRead, height) * rowBytes));
  for (int64_t done = 0; done < height;) {
    const int64_t rows = std::min(rowsPerRead, height - done);
    in.Read(scratch.data(), rows * rowBytes);
    for (int64_t k = 0; k < rows; ++k) {
      const int64_t fileRow = done + k;
      const int64_t row = bottomRowFirst ? height - 1 - fileRow : fileRow;
      std::memcpy(image.Row(static_cast<int>(row)), scratch.data() + k * rowBytes,
                  static_cast<size_t>(rowBytes));
    }
    done += rows;
  }
}

}  // namespace

void TDIB::ReadBody(QIODevice& stream) {
  ReadBodyAt(stream, -1);
}

void TDIB::ReadBodyAt(QIODevice& stream, int64_t pixelOffset) {
  StreamReader in(stream);
  uint8_t sizeBytes[4];
  const int64_t got = in.ReadSome(sizeBytes, 4);
  if (got == 0) {
    ClearToEmpty();
    return;
  }
  if (got < 4) Invalid();
  BodyHeader header = ReadHeader(in, U32(sizeBytes));
  const TColorTable colors = ReadColors(in, header, pixelOffset);

  if (header.width <= 0 || header.height == 0 || header.height == INT_MIN) Invalid();
  std::optional<ChannelShifts> shifts;
  if (header.bits == 32 && !header.layout.SameMasks(kLayout888)) {
    shifts = ShiftsOf(header.layout);
    if (shifts) header.layout = kLayout888;
  }
  TDIBSharedImage::CheckFormat(header.bits, header.layout);
  const bool compressed =
      header.compression == kCompressionRle8 || header.compression == kCompressionRle4;
  if (compressed) {
    const int bitsNeeded = header.compression == kCompressionRle8 ? 8 : 4;
    if (header.bits != bitsNeeded || header.height < 0) Invalid();
  } else if (header.compression != kCompressionNone &&
             header.compression != kCompressionBitFields) {
    Invalid();
  }
  const int64_t height = header.height < 0 ? -header.height : header.height;
  const int64_t rowBytes = TDIBSharedImage::RowBytesFor(header.width, header.bits);
  if (rowBytes > kMaxPixelBytes / height) Invalid();
  const int64_t pixelBytes = rowBytes * height;
  const int64_t dataBytes = compressed ? header.imageSize : pixelBytes;
  if (dataBytes > kMaxPixelBytes) Invalid();
  if (compressed && (dataBytes == 0 || pixelBytes > dataBytes * kMaxRunLengthGain)) Invalid();

  // A gap before the pixels (the file says where they start) is skipped;
  // the reader never goes back, and only skips when the pixels still fit.
  const int64_t gap = pixelOffset - in.Position();
  int64_t left = in.Left();
  if (gap > 0 && left >= 0 && left - gap >= dataBytes) {
    in.Skip(gap);
    left -= gap;
  }
  if (left >= 0 && dataBytes > left) Invalid();

  // Uncompressed pixels are read over every byte of the new image at once.
  auto image = TDIBSharedImage::Make(
      static_cast<int>(header.width), static_cast<int>(height), header.bits, header.layout, colors,
      compressed, compressed ? TDIBSharedImage::Fill::Zeros : TDIBSharedImage::Fill::Overwritten);
  if (compressed) {
    image->Encoded.resize(dataBytes);
    in.Read(image->Encoded.data(), dataBytes);
  } else {
    ReadRows(in, *image, header.height > 0);
    if (shifts) {
      for (int row = 0; row < image->ImageHeight; ++row) {
        RepackRow(image->Row(row), image->ImageWidth, *shifts);
      }
    }
  }
  SwitchTo(std::move(image));
}

int TDIB::HeaderBlockSize() const {
  if (IsEmpty()) return 0;
  const int masks = BitsPerPixel() == 16 || BitsPerPixel() == 32 ? 12 : 0;
  return kInfoHeaderSize + masks + 4 * ColorCount();
}

QByteArray TDIB::HeaderBlock() const {
  if (IsEmpty()) return QByteArray();
  const TDIBSharedImage& image = *FImage;
  const int bits = image.BitsPerPixel;
  uint32_t compression = kCompressionNone;
  if (bits == 16 || bits == 32) compression = kCompressionBitFields;
  if (image.RunLengthEncoded) compression = bits == 8 ? kCompressionRle8 : kCompressionRle4;
  const int64_t imageSize = image.RunLengthEncoded ? image.Encoded.size() : image.PixelBytes;
  QByteArray block;
  block.reserve(HeaderBlockSize());
  Put32(block, kInfoHeaderSize);
  Put32(block, static_cast<uint32_t>(image.ImageWidth));
  Put32(block, static_cast<uint32_t>(image.ImageHeight));  // positive: bottom row first
  Put16(block, 1);
  Put16(block, static_cast<uint32_t>(bits));
  Put32(block, compression);
  Put32(block, static_cast<uint32_t>(imageSize));
  for (int i = 0; i < 4; ++i) Put32(block, 0);  // resolution, colours used and important
  if (compression == kCompressionBitFields) {
    Put32(block, image.ImageLayout.RedMask);
    Put32(block, image.ImageLayout.GreenMask);
    Put32(block, image.ImageLayout.BlueMask);
  }
  for (int i = 0; i < image.ColorCount; ++i) {
    const TColorEntry& color = image.ColorTable[i];
    const char entry[4] = {static_cast<char>(color.Blue), static_cast<char>(color.Green),
                           static_cast<char>(color.Red), 0};
    block.append(entry, 4);
  }
  return block;
}

namespace {

void Write(QIODevice& stream, const char* data, int64_t bytes) {
  if (stream.write(data, bytes) != bytes) throw EInvalidGraphicOperation("DIB cannot be written");
}

}  // namespace

void TDIB::WriteBody(QIODevice& stream) const {
  if (IsEmpty()) return;
  const QByteArray header = HeaderBlock();
  Write(stream, header.constData(), header.size());
  const TDIBSharedImage& image = *FImage;
  if (image.RunLengthEncoded) {
    Write(stream, image.Encoded.constData(), image.Encoded.size());
    return;
  }
  for (int row = image.ImageHeight - 1; row >= 0; --row) {
    Write(stream, reinterpret_cast<const char*>(image.Row(row)), image.RowBytes);
  }
}

void TDIB::LoadFile(QIODevice& stream) {
  StreamReader in(stream);
  uint8_t header[kFileHeaderSize];
  const int64_t got = in.ReadSome(header, kFileHeaderSize);
  if (got == 0) return;
  if (got < kFileHeaderSize || header[0] != 'B' || header[1] != 'M') Invalid();
  ReadBodyAt(stream, static_cast<int64_t>(U32(header + 10)) - kFileHeaderSize);
}

void TDIB::SaveFile(QIODevice& stream) const {
  if (IsEmpty()) return;
  const int64_t imageSize = IsRunLengthEncoded() ? FImage->Encoded.size() : PixelBytes();
  const uint32_t pixelsAt = static_cast<uint32_t>(kFileHeaderSize + HeaderBlockSize());
  QByteArray header("BM");
  Put32(header, static_cast<uint32_t>(pixelsAt + imageSize));
  Put32(header, 0);  // two reserved words
  Put32(header, pixelsAt);
  Write(stream, header.constData(), header.size());
  WriteBody(stream);
}

void TDIB::LoadClipboard(const QMimeData& data) {
  QByteArray bytes = data.data(kDIBMimeType);
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::ReadOnly);
  // A body starts with its header size (12 or 40), never with "BM".
  if (bytes.startsWith("BM")) {
    LoadFile(buffer);
  } else {
    ReadBody(buffer);
  }
}

void TDIB::SaveClipboard(QMimeData& data) const {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  SaveFile(buffer);
  data.setData(kDIBMimeType, bytes);
}
