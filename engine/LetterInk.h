#pragma once
// A letter laid out once and drawn the same way every time, with the place
// where it really puts ink. Font metrics describe the glyphs of one font; a
// letter drawn with accents stacked on it, with glyphs from a fallback font,
// with overhangs or as a colour bitmap can ink well outside them. So the
// letter's glyphs are drawn once into a scratch picture and its ink is looked
// for there. Keeping the glyphs keeps that answer true: shaping the same text
// again may place a mark differently.

#include <QFont>
#include <QGlyphRun>
#include <QImage>
#include <QList>
#include <QPainter>
#include <QRect>
#include <QString>

struct LetterShape {
  // The glyphs, from whichever fonts supply them, placed with the letter's
  // baseline at `Origin`'s negation: drawn at Origin + (x, baseline y).
  QList<QGlyphRun> Runs;
  QPointF Origin;
  // Every pixel the letter inks when drawn unrotated with its baseline's left
  // end at (0, 0); empty when it inks nothing (a blank).
  QRect Ink;
  // The font draws the letter in colours of its own (a colour emoji): the pen
  // colour does not colour it.
  bool Coloured = false;
};

// Lays `text` out with `font` and finds its ink. Fonts above a few hundred
// pixels are measured smaller and scaled up, with a margin for the
// difference.
LetterShape ShapeLetter(const QFont& font, const QString& text);

// Draws the letter with its baseline's left end at `baseline`, in the
// painter's pen colour where the font does not colour it.
void DrawLetterShape(QPainter& painter, const QPointF& baseline, const LetterShape& shape);

// The letter alone on a transparent picture covering shape.Ink, whose pixel
// (0, 0) lies at Ink.topLeft() relative to the baseline's left end; drawn
// with `pen` where the font does not colour it.
QImage LetterPicture(const LetterShape& shape, const QColor& pen);

// The letter as a solid black shape: a picture covering shape.Ink whose pixel
// (0, 0) lies at Ink.topLeft() relative to the baseline's left end.
QImage LetterSilhouette(const LetterShape& shape);
