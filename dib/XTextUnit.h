#pragma once
// Smooth text: a line of text drawn into a 24-bit TDIB with anti-aliased
// edges. The text is drawn 2^level times enlarged, white on black, into an
// 8-bit grey mask; each target pixel then averages a block of 2^level x
// 2^level mask pixels into a coverage that blends the font colour over the
// pixel. The mask depends on the fonts installed; the blend is exact integer
// arithmetic, the same on every machine.

#include <QSize>
#include <QString>

#include "dib/XDIBUnit.h"

// Levels below 1 act as 1, above 4 as 4.
int SmoothTextLevel(int level);

// The enlarged mask of the text: an 8-bit grey image whose width and height
// are the text's enlarged extent raised to the next multiple of 2^level, plus
// one more block. Drawn at (0, 0) with the font (its height times 2^level, in
// white, unsmoothed) and the brush (a clear brush leaves the background black).
TDIB BuildSmoothTextMask(const TDIBFont& font, const TDIBBrush& brush, const QString& text,
                         int level);

// Blends an 8-bit mask into a 24-bit target with the mask's top-left block on
// target pixel (x, y), clipped to the target. Error "Bitcount in invalid (%d)"
// for a target of another depth.
void BlendSmoothTextMask(TDIB& target, TDIB& mask, int x, int y, int level, TColor color);

// The text with the target surface's font and brush, its top-left corner at
// target pixel (x, y).
void DrawSmoothText(TDIB& target, const QString& text, int x, int y, int level);

// The setup dialog's preview of the text: a 24-bit picture of `size`, black,
// with `text` in `face` at the picture's full cell height, in `color`,
// smoothed at `level`, its top-left corner at (0, 0).
TDIB SmoothTextPreview(QSize size, const QString& face, TColor color, const QString& text,
                       int level);
