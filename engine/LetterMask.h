#pragma once
// Letters drawn without asking the font again. Qt draws glyphs above 64
// pixels from their outlines, loading and hinting every glyph anew each
// time. An upright letter is blended from a picture of its coverage (what
// the outline's rasteriser gives, blended the way Qt blends an opaque solid
// colour); a turned one is filled from outlines kept from its first drawing.
// Either way the pixels come out the same as Qt's.

#include <QColor>
#include <QImage>
#include <QList>
#include <QPainter>
#include <QPainterPath>
#include <QPoint>
#include <QRgb>

#include "engine/LetterInk.h"

// How much of each pixel of shape.Ink the letter covers (Format_Alpha8),
// drawn upright; pixel (0, 0) lies at Ink.topLeft().
QImage LetterCoverage(const LetterShape& shape);

// Paints the opaque `colour` into `target` (Format_RGB32) through
// `coverage`, whose pixel (0, 0) lands on `at`; clipped to the target.
void BlendCoverage(QImage& target, QPoint at, const QImage& coverage, QRgb colour);

// The letter's outlines, one path per glyph run, placed as Qt places them
// when it draws the glyphs relative to the baseline's left end.
QList<QPainterPath> LetterOutlines(const LetterShape& shape);

// Fills `outlines` in `colour` with the baseline's left end at `baseline`, as
// the painter draws glyphs too large for Qt's glyph pictures.
void FillLetterOutlines(QPainter& painter, const QPointF& baseline,
                        const QList<QPainterPath>& outlines, const QColor& colour);
