#pragma once
// What the animation needs from a graphics system: a back buffer with one
// font whose face, size, colour and rotation can be set, text measurement,
// drawing of single letters, a black fill, a copy of the desktop picture and
// the hand-over of the finished frame. The program implements it with Qt; the
// tests use a recording fake with fixed metrics.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/XColorUnit.h"

// The desktop picture behind the letters, and the place that shows finished
// frames. Only the drawing implementation knows what they are; the animation
// passes them along.
class Picture;
class FrameTarget;

struct TextExtent {
  int32_t Width = 0;   // surface pixels
  int32_t Height = 0;  // ascent + descent, surface pixels
};

class DrawingSurface {
 public:
  virtual ~DrawingSurface() = default;

  virtual void SetFontFace(const std::string& face) = 0;
  // Size in points (at 96 dots per inch). Setting the size also drops any
  // rotation, so callers set the size first and the angle after it.
  virtual void SetFontSize(int32_t points) = 0;
  // Rotation in tenths of a degree, counter-clockwise, about a letter's
  // top-left point.
  virtual void SetFontAngle(int32_t tenthsOfDegree) = 0;
  virtual void SetFontColor(TColor color) = 0;
  // Shadow mode: letters the font draws in colours of its own (colour emoji)
  // are drawn as solid black silhouettes instead.
  virtual void SetSilhouette(bool on) = 0;

  // Where the letters of the text end, as code-point offsets in ascending
  // order, the last one the text's length. A letter is what a reader takes
  // for one character: a base with its accents, an emoji with its modifiers,
  // a flag.
  virtual std::vector<size_t> LetterEnds(std::u32string_view text) = 0;

  // Extent of the text drawn unrotated with the current face and size.
  virtual TextExtent MeasureText(std::u32string_view text) = 0;
  // One letter (as LetterEnds cuts them) with the top-left corner of its cell
  // at (x, y), surface pixels, with a transparent background.
  virtual void DrawLetter(int32_t x, int32_t y, std::u32string_view letter) = 0;

  virtual void FillBlack() = 0;
  // Copies the top-left part of the picture that covers the whole surface.
  virtual void CopyBackground(const Picture& picture) = 0;
  // Hands the finished frame to the target, telling it where the frame
  // differs from the last one that target was given; nullptr shows nothing.
  virtual void HandOver(FrameTarget* target) = 0;
};

// Makes the back buffer of the given size in surface pixels.
using SurfaceFactory =
    std::function<std::unique_ptr<DrawingSurface>(int32_t width, int32_t height)>;
