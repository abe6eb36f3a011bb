#pragma once
// The letter loops of the twenty effects. Internal to the animation: Step
// reads the frame's values into FrameValues and runs the current effect.

#include <string_view>

#include "engine/AnimationUnit.h"
#include "engine/Int32.h"
#include "engine/XSinusUnit.h"
#include "settings/GlobalsUnit.h"

// Values fixed for one frame, in screen units.
struct FrameValues {
  Int32 SW;       // screen width
  Int32 SH;       // screen height
  Int32 H;        // line height
  Int32 SX;       // ScrollX at the start of the frame
  Int32 LY;       // LineY
  Int32 Speed;    // at least 1
  Int32 Spacing;  // FontSpacing
};

// Extent of letter i measured alone with the current font, in screen units.
inline TextExtent LetterExtent(TSaverAni& s, int32_t i) {
  const TextExtent surface = s.Buffer->MeasureText(s.Letter(i));
  return TextExtent{s.ToScreen(surface.Width), s.ToScreen(surface.Height)};
}

// The common letter loop: letters in order with a running nominal position x
// from SX. place(i, x) sets letter i's drawn values; then x advances by the
// letter's width and FontSpacing, and the pass ends only if gone(i, extent)
// holds for every letter. Returns the running position after the last letter.
template <typename Place, typename Gone>
Int32 LetterLoop(TSaverAni& s, const FrameValues& f, Place place, Gone gone) {
  Int32 x = f.SX;
  for (int32_t i = 1; i <= s.LetterCount; ++i) {
    place(i, x);
    const TextExtent extent = LetterExtent(s, i);
    x = x + extent.Width + f.Spacing;
    s.AllGone = s.AllGone && gone(i, extent);
  }
  return x;
}

// A letter is gone when its right edge is left of -4.
inline auto LeftTheScreen(const TSaverAni& s) {
  return
      [&s](int32_t i, const TextExtent& extent) { return Int32(s.LetterX[i]) + extent.Width < -4; };
}

template <typename Place>
Int32 LetterLoop(TSaverAni& s, const FrameValues& f, Place place) {
  return LetterLoop(s, f, place, LeftTheScreen(s));
}

// Effects 0..9: letters that move.
void StepStandard(TSaverAni& s, const FrameValues& f);
void StepWave(TSaverAni& s, const FrameValues& f);
void StepWorm(TSaverAni& s, const FrameValues& f);
void StepBounce(TSaverAni& s, const FrameValues& f);
void StepJump(TSaverAni& s, const FrameValues& f);
void StepZip(TSaverAni& s, const FrameValues& f);
void StepFizz(TSaverAni& s, const FrameValues& f);
void StepSlope(TSaverAni& s, const FrameValues& f);
void StepScatter(TSaverAni& s, const FrameValues& f);
void StepSnake(TSaverAni& s, const FrameValues& f);

// Effects 10..19: many of them also tilt, scale, turn or mirror letters.
void StepSwing(TSaverAni& s, const FrameValues& f);
void StepInflate(TSaverAni& s, const FrameValues& f);
void StepNearAndFar(TSaverAni& s, const FrameValues& f);
void StepLoop(TSaverAni& s, const FrameValues& f);
void StepUpsideDown(TSaverAni& s, const FrameValues& f);
void StepOscillate(TSaverAni& s, const FrameValues& f);
void StepVertical(TSaverAni& s, const FrameValues& f);
void StepDrop(TSaverAni& s, const FrameValues& f);
void StepStumble(TSaverAni& s, const FrameValues& f);
void StepLocomotion(TSaverAni& s, const FrameValues& f);

// Fixed-point sine and cosine on engine integers.
inline Int32 Sin(Int32 angle, Int32 m) {
  return SinMul(angle.Get(), m.Get());
}
inline Int32 Cos(Int32 angle, Int32 m) {
  return CosMul(angle.Get(), m.Get());
}
