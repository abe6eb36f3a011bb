#pragma once
// Upright letters drawn from a picture of their coverage instead of from
// their outlines. Qt draws glyphs above 64 pixels from outlines, loading and
// hinting every glyph again each time; a letter's coverage is what the
// outline's rasteriser gives, and it is blended the way Qt blends an opaque
// solid colour, so the pixels come out the same.

#include <QImage>
#include <QPoint>
#include <QRgb>

#include "engine/LetterInk.h"

// How much of each pixel of shape.Ink the letter covers (Format_Alpha8),
// drawn upright; pixel (0, 0) lies at Ink.topLeft().
QImage LetterCoverage(const LetterShape& shape);

// Paints the opaque `colour` into `target` (Format_RGB32) through
// `coverage`, whose pixel (0, 0) lands on `at`; clipped to the target.
void BlendCoverage(QImage& target, QPoint at, const QImage& coverage, QRgb colour);
