// The bitmap format as TDIB reads and writes it: headers, colour tables, row
// order, bit fields, run-length data, the checks on every header number, and
// the clipboard. Files are built here byte by byte.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QMimeData>
#include <climits>
#include <string>
#include <vector>

#include "dib/DIBRunLength.h"
#include "dib/XDIBUnit.h"
#include "tests/support/QtTestApplication.h"

namespace {

using Bytes = std::string;

Bytes U16(uint32_t v) {
  return Bytes{static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF)};
}
Bytes U32(uint32_t v) {
  return U16(v & 0xFFFF) + U16(v >> 16);
}
Bytes Raw(std::initializer_list<int> values) {
  Bytes bytes;
  for (const int v : values) bytes += static_cast<char>(v);
  return bytes;
}

// A 40-byte information header.
Bytes Info(int32_t width, int32_t height, int bits, uint32_t compression = 0,
           uint32_t imageSize = 0, uint32_t colorsUsed = 0) {
  return U32(40) + U32(static_cast<uint32_t>(width)) + U32(static_cast<uint32_t>(height)) + U16(1) +
         U16(bits) + U32(compression) + U32(imageSize) + U32(0) + U32(0) + U32(colorsUsed) + U32(0);
}
Bytes FileHeader(uint32_t fileSize, uint32_t pixelsAt) {
  return "BM" + U32(fileSize) + U32(0) + U32(pixelsAt);
}

// Loads a body (or, with a file header, a file); "" or the error's text.
std::string Read(TDIB& dib, const Bytes& bytes, bool file = false) {
  QByteArray data(bytes.data(), static_cast<qsizetype>(bytes.size()));
  QBuffer buffer(&data);
  buffer.open(QIODevice::ReadOnly);
  try {
    file ? dib.LoadFile(buffer) : dib.ReadBody(buffer);
  } catch (const std::exception& error) {
    return error.what();
  }
  return "";
}

Bytes Written(const TDIB& dib, bool file = true) {
  QByteArray data;
  QBuffer buffer(&data);
  buffer.open(QIODevice::WriteOnly);
  file ? dib.SaveFile(buffer) : dib.WriteBody(buffer);
  return data.toStdString();
}

Bytes Row(TDIB& dib, int row, int bytes) {
  return Bytes(reinterpret_cast<const char*>(dib.RowAddress(row)), static_cast<size_t>(bytes));
}

TEST(DIBFileTest, BadHeadersAreRefusedBeforeAnythingIsAllocated) {
  struct Case {
    const char* what;
    Bytes bytes;
    bool file;
    const char* error;
  };
  const Bytes pixels(64, '\0');
  const Case cases[] = {
      {"header size 16", U32(16) + Bytes(12, '\0'), false, "DIB is invalid"},
      {"header size 108", U32(108) + Info(2, 2, 24).substr(4) + Bytes(68, '\0'), false, "DIB is invalid"},
      {"two bytes", "\x28\x00", false, "DIB is invalid"},
      {"header cut short", Info(2, 2, 24).substr(0, 20), false, "DIB is invalid"},
      {"width 0", Info(0, 2, 24) + pixels, false, "DIB is invalid"},
      {"width -5", Info(-5, 2, 24) + pixels, false, "DIB is invalid"},
      {"height 0", Info(2, 0, 24) + pixels, false, "DIB is invalid"},
      {"height -2^31", Info(2, INT_MIN, 24) + pixels, false, "DIB is invalid"},
      {"row bytes x height beyond 64 bits of int", Info(INT_MAX, INT_MAX, 32) + pixels, false, "DIB is invalid"},
      {"more pixels than the stream holds", Info(100, 100, 24) + pixels, false, "DIB is invalid"},
      {"compression 4 (JPEG)", Info(2, 2, 24, 4) + pixels, false, "DIB is invalid"},
      {"compression 6", Info(2, 2, 32, 6) + pixels, false, "DIB is invalid"},
      {"RLE8 at 4 bits", Info(2, 2, 4, 1, 4) + Bytes(64, '\0') + Raw({0, 1}), false, "DIB is invalid"},
      {"RLE4 at 8 bits", Info(2, 2, 8, 2, 4) + Bytes(1024, '\0') + Raw({0, 1}), false, "DIB is invalid"},
      {"RLE8 top row first", Info(2, -2, 8, 1, 2) + Bytes(1024, '\0') + Raw({0, 1}), false, "DIB is invalid"},
      {"RLE8 without its size", Info(2, 2, 8, 1, 0) + Bytes(1024, '\0') + Raw({0, 1}), false, "DIB is invalid"},
      {"RLE8 longer than the stream", Info(2, 2, 8, 1, 100) + Bytes(1024, '\0') + Raw({0, 1}), false, "DIB is invalid"},
      {"RLE8 of 30000 x 30000 from 2 bytes", Info(30000, 30000, 8, 1, 2) + Bytes(1024, '\0') + Raw({0, 1}), false, "DIB is invalid"},
      {"bit count 2", Info(2, 2, 2) + Bytes(16, '\0') + pixels, false, "Bitcount in invalid (2)"},
      {"bit count 64", Info(2, 2, 64) + pixels, false, "Bitcount in invalid (64)"},
      {"32-bit masks 10-10-10", Info(2, 2, 32, 3) + U32(0x3FF00000) + U32(0xFFC00) + U32(0x3FF) + pixels, false, "PixelFormat in invalid"},
      {"32-bit masks overlapping", Info(2, 2, 32, 3) + U32(0xFF0000) + U32(0xFF00) + U32(0xFF00) + pixels, false, "PixelFormat in invalid"},
      {"16-bit masks 2-3-1", Info(2, 2, 16, 3) + U32(0x30) + U32(0xE) + U32(0x1) + pixels, false, "PixelFormat in invalid"},
      {"file header cut short", "BM\x10\x00", true, "DIB is invalid"},
      {"file header not BM", "BA" + U32(0) + U32(0) + U32(54) + Info(1, 1, 24) + pixels, true, "DIB is invalid"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TDIB dib;
    dib.SetDimensions(3, 1, 8);
    dib.RowAddress(0)[1] = 9;
    EXPECT_EQ(Read(dib, c.bytes, c.file), c.error);
    // The bitmap keeps what it had.
    EXPECT_EQ(dib.ImageWidth(), 3);
    EXPECT_EQ(dib.RowAddress(0)[1], 9);
  }
}

TEST(DIBFileTest, HeadersColourTablesAndRowOrdersLoadTheSamePicture) {
  struct Case {
    const char* what;
    Bytes bytes;
    int bits;
    Bytes top, bottom;  // the rows' bytes as held in memory
    TColorEntry color1;
  };
  const Bytes twoColors = Raw({0, 0, 0, 0, 10, 20, 30, 0});
  const Case cases[] = {
      {"12-byte header, 3-byte colours", U32(12) + U16(3) + U16(2) + U16(1) + U16(1) +
       Raw({0, 0, 0, 10, 20, 30}) + Raw({0x40, 0, 0, 0, 0xA0, 0, 0, 0}),
       1, Raw({0xA0, 0, 0, 0}), Raw({0x40, 0, 0, 0}), {10, 20, 30, 0}},
      {"colours used 2 at 8 bits", Info(3, 2, 8, 0, 0, 2) + twoColors + Raw({1, 0, 1, 0, 0, 1, 0, 0}),
       8, Raw({0, 1, 0, 0}), Raw({1, 0, 1, 0}), {10, 20, 30, 0}},
      {"4 bits", Info(3, 2, 4, 0, 0, 2) + twoColors + Raw({0x10, 0x10, 0, 0, 0x01, 0, 0, 0}),
       4, Raw({0x01, 0, 0, 0}), Raw({0x10, 0x10, 0, 0}), {10, 20, 30, 0}},
      {"24 bits bottom row first", Info(1, 2, 24) + Raw({1, 2, 3, 0, 4, 5, 6, 0}),
       24, Raw({4, 5, 6, 0}), Raw({1, 2, 3, 0}), {}},
      {"24 bits top row first", Info(1, -2, 24) + Raw({4, 5, 6, 0, 1, 2, 3, 0}),
       24, Raw({4, 5, 6, 0}), Raw({1, 2, 3, 0}), {}},
      {"16 bits without masks: 5-5-5", Info(2, 2, 16) + Raw({1, 0x7C, 0, 0, 2, 0x7C, 0, 0}),
       16, Raw({2, 0x7C, 0, 0}), Raw({1, 0x7C, 0, 0}), {}},
      {"32 bits, standard masks", Info(1, 2, 32, 3) + U32(0xFF0000) + U32(0xFF00) + U32(0xFF) +
       Raw({1, 2, 3, 4, 5, 6, 7, 8}), 32, Raw({5, 6, 7, 8}), Raw({1, 2, 3, 4}), {}},
      // Pixel 0x04030201: red 0x04 at bit 24, green 0x20 at bit 4, blue 0x03 at bit 16.
      {"32 bits, 8-bit masks elsewhere", Info(1, 2, 32, 3) + U32(0xFF000000) + U32(0xFF0) + U32(0xFF0000) +
       Raw({1, 2, 3, 4, 0x50, 0x06, 0x07, 0x80}), 32, Raw({0x07, 0x65, 0x80, 0}), Raw({3, 0x20, 4, 0}), {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TDIB dib;
    ASSERT_EQ(Read(dib, c.bytes), "");
    EXPECT_EQ(dib.BitsPerPixel(), c.bits);
    EXPECT_EQ(Row(dib, 0, 4), c.top);
    EXPECT_EQ(Row(dib, dib.ImageHeight() - 1, 4), c.bottom);
    if (c.bits <= 8) {
      EXPECT_EQ(dib.ColorTable[1], c.color1);
      EXPECT_EQ(dib.ColorTable[2], TColorEntry{});  // cleared, not read
    }
  }
  TDIB layout;
  ASSERT_EQ(Read(layout, Info(1, 1, 16, 3) + U32(0xF800) + U32(0x7E0) + U32(0x1F) + U32(0)), "");
  EXPECT_EQ(layout.CurrentLayout(), kLayout565);
}

TEST(DIBFileTest, SavedFilesHaveTheWorkedHeaderAndReloadByteForByte) {
  struct Case {
    int width, height, bits;
    uint32_t pixelsAt;  // 14 + 40 + masks + 4 x colours
  };
  const Case cases[] = {{231, 39, 24, 54}, {5, 3, 1, 62},   {5, 3, 4, 118},
                        {5, 3, 8, 1078},   {5, 3, 16, 66},  {5, 3, 32, 66}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.bits);
    TDIB dib;
    if (c.bits == 16) dib.RequestedLayout = kLayout565;
    dib.ColorTable[1] = TColorEntry{1, 2, 3, 0};
    dib.SetDimensions(c.width, c.height, c.bits);
    for (int row = 0; row < c.height; ++row) dib.RowAddress(row)[0] = static_cast<uint8_t>(row + 1);
    const Bytes file = Written(dib);
    const int64_t rowBytes = (c.bits * c.width + 31) / 32 * 4;
    ASSERT_EQ(file.size(), c.pixelsAt + rowBytes * c.height);
    EXPECT_EQ(file.substr(0, 14), FileHeader(static_cast<uint32_t>(file.size()), c.pixelsAt));
    const uint32_t compression = c.bits == 16 || c.bits == 32 ? 3 : 0;
    EXPECT_EQ(file.substr(14, 40),
              Info(c.width, c.height, c.bits, compression, static_cast<uint32_t>(rowBytes * c.height)));
    // The bottom row is written first.
    EXPECT_EQ(file[c.pixelsAt], static_cast<char>(c.height));
    EXPECT_EQ(Written(dib, false), file.substr(14));
    TDIB again;
    ASSERT_EQ(Read(again, file, true), "");
    EXPECT_EQ(Written(again), file);
  }
}

TEST(DIBFileTest, EmptyStreamsAndEmptyBitmaps) {
  TDIB dib;
  dib.SetDimensions(2, 2, 24);
  EXPECT_EQ(Read(dib, "", true), "");
  EXPECT_EQ(dib.ImageWidth(), 2);  // nothing changed
  EXPECT_EQ(Read(dib, ""), "");
  EXPECT_TRUE(dib.IsEmpty());
  EXPECT_EQ(Written(dib), "");
  EXPECT_EQ(Written(dib, false), "");
}

TEST(DIBFileTest, AFileHeaderPixelOffsetSkipsAGapButNeverGoesBack) {
  const Bytes colors = Raw({0, 0, 0, 0, 10, 20, 30, 0});
  const Bytes pixels = Raw({1, 0, 0, 0});
  // Well formed: the pixels follow the colours.
  TDIB plain;
  ASSERT_EQ(Read(plain, FileHeader(66, 62) + Info(1, 1, 8, 0, 0, 2) + colors + pixels, true), "");
  EXPECT_EQ(plain.RowAddress(0)[0], 1);
  // Eight bytes of something between the colours and the pixels.
  TDIB gap;
  ASSERT_EQ(Read(gap, FileHeader(74, 70) + Info(1, 1, 8, 0, 0, 2) + colors + Bytes(8, '\x55') + pixels, true), "");
  EXPECT_EQ(gap.RowAddress(0)[0], 1);
  // An offset into the header is ignored.
  TDIB back;
  ASSERT_EQ(Read(back, FileHeader(66, 20) + Info(1, 1, 8, 0, 0, 2) + colors + pixels, true), "");
  EXPECT_EQ(back.RowAddress(0)[0], 1);
  // An offset into the colours cuts the table short there.
  TDIB shortTable;
  ASSERT_EQ(Read(shortTable, FileHeader(62, 58) + Info(1, 1, 8, 0, 0, 2) + colors.substr(0, 4) + pixels, true), "");
  EXPECT_EQ(shortTable.RowAddress(0)[0], 1);
  EXPECT_EQ(shortTable.ColorTable[1], TColorEntry{});
}

TEST(DIBFileTest, RunLengthDataDecodesWithinTheImageOnly) {
  struct Case {
    const char* what;
    int bits, width, height;
    Bytes data;
    std::vector<Bytes> rows;  // top row first, RowBytes each
  };
  const Case cases[] = {
      {"RLE8 runs, absolute block with padding, line end, picture end", 8, 6, 2,
       Raw({3, 7, 0, 3, 1, 2, 3, 0, 0, 0, 2, 9, 0, 1}),
       {Raw({9, 9, 0, 0, 0, 0, 0, 0}), Raw({7, 7, 7, 1, 2, 3, 0, 0})}},
      {"RLE8 delta skips pixels, which stay zero", 8, 4, 3, Raw({1, 5, 0, 2, 2, 1, 1, 6}),
       {Raw({0, 0, 0, 0}), Raw({0, 0, 0, 6}), Raw({5, 0, 0, 0})}},
      {"RLE4 runs alternate nibbles, high first", 4, 5, 1, Raw({5, 0x12, 0, 1}), {Raw({0x12, 0x12, 0x10, 0})}},
      {"RLE4 absolute block of 3 pixels in 2 bytes", 4, 4, 1, Raw({0, 3, 0xAB, 0xC0, 1, 0xDD}),
       {Raw({0xAB, 0xCD, 0, 0})}},
      {"runs past the right edge are clipped", 8, 2, 1, Raw({200, 4}), {Raw({4, 4, 0, 0})}},
      {"rows past the top are dropped", 8, 1, 1, Raw({1, 3, 0, 0, 1, 4, 0, 2, 0, 200, 1, 5}), {Raw({3, 0, 0, 0})}},
      {"a delta cut short ends the data", 8, 2, 1, Raw({1, 3, 0, 2, 1}), {Raw({3, 0, 0, 0})}},
      {"an absolute block cut short ends the data", 8, 4, 1, Raw({0, 4, 8, 9}), {Raw({8, 9, 0, 0})}},
      {"an odd last byte is ignored", 8, 2, 1, Raw({1, 3, 1}), {Raw({3, 0, 0, 0})}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const int rowBytes = (c.bits * c.width + 31) / 32 * 4;
    std::vector<uint8_t> pixels(static_cast<size_t>(rowBytes * c.height), 0);
    DecodeRunLength(reinterpret_cast<const uint8_t*>(c.data.data()), c.data.size(), c.bits, c.width,
                    c.height, pixels.data(), rowBytes);
    for (int row = 0; row < c.height; ++row) {
      EXPECT_EQ(Bytes(reinterpret_cast<const char*>(pixels.data()) + row * rowBytes,
                      static_cast<size_t>(rowBytes)),
                c.rows[row])
          << "row " << row;
    }
  }
}

TEST(DIBFileTest, EncodedPixelsStayEncodedUntilTheyAreNeeded) {
  const Bytes encoded = Raw({2, 4, 0, 0, 1, 5, 0, 1});
  const Bytes body = Info(2, 2, 8, 1, static_cast<uint32_t>(encoded.size())) + Bytes(1024, '\0') + encoded;
  TDIB dib;
  ASSERT_EQ(Read(dib, body), "");
  EXPECT_TRUE(dib.IsRunLengthEncoded());
  TDIB copy(dib);
  // Written as read, with the header's image size the encoded size.
  EXPECT_EQ(Written(dib, false), body);
  EXPECT_EQ(dib.ToImage().pixelIndex(0, 1), 4);
  EXPECT_EQ(Row(dib, 0, 4), Raw({5, 0, 0, 0}));
  EXPECT_FALSE(dib.IsRunLengthEncoded());
  EXPECT_TRUE(copy.IsRunLengthEncoded());
  EXPECT_EQ(Written(dib, false).substr(0, 40), Info(2, 2, 8, 0, 8));
}

TEST(DIBFileTest, TheClipboardCarriesAWholeFileAndTakesABareBodyToo) {
  TDIB dib;
  dib.SetDimensions(3, 2, 24);
  dib.RowAddress(1)[2] = 42;
  QMimeData mime;
  dib.SaveClipboard(mime);
  const QByteArray file = mime.data("image/bmp");
  EXPECT_TRUE(file.startsWith("BM"));
  EXPECT_EQ(file.toStdString(), Written(dib));
  TDIB whole;
  whole.LoadClipboard(mime);
  EXPECT_EQ(whole.RowAddress(1)[2], 42);
  QMimeData bare;
  bare.setData("image/bmp", file.mid(14));
  TDIB body;
  body.LoadClipboard(bare);
  EXPECT_EQ(body.RowAddress(1)[2], 42);
}

}  // namespace
