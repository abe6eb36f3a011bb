#pragma once
// The drawing surface of a TDIB: a canvas with a font, a brush, a pen and a
// copy mode, and the operations the dialogs draw with. Every operation hands
// its painter code to the bitmap, which first makes its pixels its own (copy
// on write), then runs it with QPainter on them. Colours are 0x00BBGGRR
// values. The canvas knows its bitmap only through that hand-over, so this
// unit sits below XDIBUnit and does not include it.

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QRect>
#include <QSize>
#include <QString>
#include <functional>
#include <utility>

#include "engine/XColorUnit.h"

// Painter code, run on the pixels of a bitmap.
using TPaintCode = std::function<void(QPainter&)>;

enum TBrushStyle { bsSolid = 0, bsClear = 1 };

// Font styles, combined as bits.
enum TFontStyle { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };

// Whether the toolkit smooths the font's edges: as it likes, never, or always.
enum TFontQuality { fqDefault = 0, fqNonAntialiased = 1, fqAntialiased = 2 };

// How Draw combines a picture with the pixels already there.
enum TCopyMode {
  cmSrcCopy = 0,    // the picture
  cmSrcAnd = 1,     // picture AND pixels
  cmSrcPaint = 2,   // picture OR pixels
  cmSrcInvert = 3,  // picture XOR pixels
  cmMergePaint = 4  // (NOT picture) OR pixels
};

struct TDIBFont {
  // Empty or "Default": the toolkit's own face.
  QString Name;
  // In pixels: below 0 the character height (the em), above 0 the cell
  // height (ascent + descent), 0 the toolkit's default size.
  int32_t Height = -11;
  int Style = 0;  // TFontStyle bits
  TColor Color = 0;
  TFontQuality Quality = fqDefault;

  QFont ToQFont() const;
  // Height as a character height: a cell height turned into the em that
  // fits it, 0 into the default size.
  int PixelSize() const;
};

struct TDIBBrush {
  TColor Color = 0xFFFFFF;
  TBrushStyle Style = bsSolid;
};

struct TDIBPen {
  TColor Color = 0;
  int32_t Width = 1;
};

// Text as a canvas draws it: its cell's top-left corner at (x, y), the cell
// filled with the brush colour first unless the brush is clear.
void DrawCanvasText(QPainter& painter, const TDIBFont& font, const TDIBBrush& brush, int x, int y,
                    const QString& text);

class TDIBCanvas {
 public:
  TDIBFont Font;
  TDIBBrush Brush;
  TDIBPen Pen;
  TCopyMode CopyMode = cmSrcCopy;

  // The brush over the rectangle (right and bottom edges excluded); a clear
  // brush fills nothing.
  void FillRect(const QRect& rect);
  // A one-pixel frame in the brush colour.
  void FrameRect(const QRect& rect);
  // A frame of the pen's width in the pen colour, filled with the brush;
  // the corners are (left, top) and (right - 1, bottom - 1).
  void Rectangle(int left, int top, int right, int bottom);
  // Inverts every other pixel along the rectangle's edge; twice restores.
  void DrawFocusRect(const QRect& rect);

  // Text with its cell's top-left corner at (x, y), in the font colour, on
  // the brush colour unless the brush is clear.
  void TextOut(int x, int y, const QString& text);
  // The same, clipped to the rectangle.
  void TextRect(const QRect& clip, int x, int y, const QString& text);
  // Advance width and cell height of the text in the present font.
  QSize TextExtent(const QString& text) const;
  int TextWidth(const QString& text) const { return TextExtent(text).width(); }
  int TextHeight(const QString& text) const { return TextExtent(text).height(); }

  // A picture with its top-left corner at (x, y), combined by CopyMode.
  // (A TDIB is drawn as its picture: Draw(x, y, bitmap.ToImage()).)
  void Draw(int x, int y, const QImage& picture);
  // A picture whose pixels of the transparent colour are left out.
  void DrawTransparent(int x, int y, const QImage& picture, TColor transparent);
  // Part of another picture (a bitmap's ToImage()), stretched into the
  // destination rectangle.
  void CopyRect(const QRect& destination, const QImage& source, const QRect& sourceRect);

  // Any other drawing: a painter over the pixels, valid during the call.
  void Paint(const TPaintCode& draw);

  TDIBCanvas(const TDIBCanvas&) = delete;
  TDIBCanvas& operator=(const TDIBCanvas&) = delete;

 private:
  friend class TDIB;
  // `paintPixels` runs painter code on the owning bitmap's own pixels.
  explicit TDIBCanvas(std::function<void(const TPaintCode&)> paintPixels)
      : FPaintPixels(std::move(paintPixels)) {}

  std::function<void(const TPaintCode&)> FPaintPixels;
};
