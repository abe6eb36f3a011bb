#pragma once
// TDIB: an off-screen device-independent bitmap of 1, 4, 8, 16, 24 or 32 bits
// per pixel whose rows the program addresses directly and on which it can
// also draw (Surface). Copies share their pixels until one of them writes;
// bitmaps of 8 bits or fewer carry a colour table whose palette the palette
// manager shares between identical tables. Reads and writes the Windows
// bitmap format (with or without the 14-byte file header); the clipboard
// carries it as MIME type "image/bmp".
//
// Rows are kept top row first in memory, so RowStep is +RowBytes: the pixels
// live in a QImage, whose rows are padded to 4 bytes like the file format's
// and which QPainter draws on directly, and a QImage keeps its top row first.
// Files store the bottom row first; rows are turned over only when a file is
// read or written. 4-bit pixels have no QImage format and are kept as raw rows.

#include <QIODevice>
#include <QImage>
#include <QMimeData>
#include <QPainter>
#include <QRect>
#include <cstdint>
#include <memory>

#include "dib/DIBCanvas.h"
#include "dib/DIBPalette.h"
#include "dib/DIBTypes.h"

struct TDIBSharedImage;

class TDIB {
 public:
  TDIB();
  // A copy shares the pixels until one of the two writes.
  TDIB(const TDIB& other);
  TDIB& operator=(const TDIB& other);
  virtual ~TDIB();

  // The colour table: change entries, then ApplyColors.
  TColorTable ColorTable;
  // The pixel layout the next SetDimensions uses (16 bits: kLayout555 or
  // kLayout565; every other depth kLayout888). Set from the image whenever
  // the bitmap switches to another image.
  TPixelLayout RequestedLayout;

  // A new image of that size and bit count with RequestedLayout and
  // ColorTable, zero-filled; nothing changes when all of them equal the
  // present ones. Width or height 0 or less empties the bitmap. Errors
  // "Bitcount in invalid (%d)", "PixelFormat in invalid", "DIB cannot be
  // made" leave the bitmap as it was.
  void SetDimensions(int width, int height, int bitCount);
  virtual void ClearToEmpty();

  // The canvas over the pixels; the same one on every call.
  TDIBCanvas& Surface();
  // Row `row` counted from the top, private to this bitmap; error "Index of
  // the scanning line exceeded the range. (%d)" outside the image.
  uint8_t* RowAddress(int row);
  // The first byte of the pixels (row 0), private to this bitmap.
  uint8_t* Pixels();
  // Stores ColorTable into the image when it differs from the image's table.
  void ApplyColors();
  // Gives this bitmap its own uncompressed pixels when they are shared or
  // still run-length encoded.
  void MakePrivate();

  bool IsEmpty() const { return PixelBytes() == 0; }
  int ImageWidth() const;
  int ImageHeight() const;
  // 0 or less empties; an empty bitmap becomes (max(width, 1), value) at 8 bits.
  void SetImageWidth(int value);
  void SetImageHeight(int value);
  int BitsPerPixel() const;
  int RowBytes() const;
  int RowStep() const { return RowBytes(); }
  int64_t PixelBytes() const;
  const TPixelLayout& CurrentLayout() const;
  // 0 for more than 8 bits, else 2^BitsPerPixel.
  int ColorCount() const;
  // The bitmap information header as written: 40 bytes, the three masks for
  // 16 and 32 bits, then ColorCount colours.
  int HeaderBlockSize() const;
  QByteArray HeaderBlock() const;
  // Pixels still held as read from an RLE4 or RLE8 stream.
  bool IsRunLengthEncoded() const;

  // The palette of the colour table (0 when ColorCount is 0), made on demand.
  TPaletteHandle GetPaletteHandle();
  // Takes the palette's colours into ColorTable and applies them; the call
  // owns the handle and releases it.
  void SetPaletteHandle(TPaletteHandle palette);

  // Shares another bitmap's image; nullptr empties the bitmap.
  void AssignFrom(const TDIB* source);
  // Takes a picture: its depth where a layout matches it (1, 8, 16, 24, 32
  // bits, with the colour table), pictures with alpha over black at 32 bits.
  void AssignFrom(const QImage& picture);
  // The pixels as a picture (a shared copy; 4-bit and encoded images are
  // expanded to 8 bits), null when empty.
  QImage ToImage() const;
  // Stretches the whole image into the rectangle; nothing when empty.
  void DrawInto(QPainter& canvas, const QRect& rect) const;
  // Copies part of the image (a window's dirty area, say) into the canvas.
  void CopyRectInto(QPainter& canvas, const QRect& destination, const QRect& source) const;

  // A bitmap without file header: information header, colours, pixels.
  // An empty stream gives the empty bitmap. Error "DIB is invalid".
  void ReadBody(QIODevice& stream);
  void WriteBody(QIODevice& stream) const;
  // A bitmap file: the 14-byte file header, then the body. An empty stream
  // changes nothing. Error "DIB is invalid".
  void LoadFile(QIODevice& stream);
  void SaveFile(QIODevice& stream) const;
  // "image/bmp": a whole file is written; a whole file or a bare body is read.
  void LoadClipboard(const QMimeData& data);
  void SaveClipboard(QMimeData& data) const;

 private:
  void SwitchTo(std::shared_ptr<TDIBSharedImage> image);
  // Runs painter code on private pixels, whatever their depth.
  void PaintPixels(const TPaintCode& draw);
  void ReadBodyAt(QIODevice& stream, int64_t pixelOffset);

  std::shared_ptr<TDIBSharedImage> FImage;
  std::unique_ptr<TDIBCanvas> FCanvas;
};

// The clipboard's MIME type for bitmaps.
inline constexpr const char* kDIBMimeType = "image/bmp";
