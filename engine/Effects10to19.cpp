// Effects 10 to 19: besides moving letters, most of these tilt the line,
// scale or turn single letters, or draw a mirrored copy.
#include "engine/LetterEffects.h"
#include "platform/RandomNumbers.h"

namespace {

// The code point a letter begins with; 0 for none.
char32_t Base(const TSaverAni& s, int32_t i) {
  const std::u32string_view letter = s.Letter(i);
  return letter.empty() ? 0 : letter.front();
}

// Letter i starts a word when it is the first letter, or a printable letter
// after a blank or control character. Other letters share the size of the
// letter before them, so whole words grow and shrink together.
bool StartsWord(const TSaverAni& s, int32_t i) {
  return i == 1 || (Base(s, i) > 32 && Base(s, i - 1) <= 32);
}

}  // namespace

// The whole line tilts back and forth by up to 30 degrees.
void StepSwing(TSaverAni& s, const FrameValues& f) {
  const Int32 end = LetterLoop(s, f, [&](int32_t i, Int32 x) {
    s.LetterX[i] = x.Get();
    s.LetterY[i] = f.LY.Get();
  });
  s.TextAngle = ((Sin(end * 100 / f.Speed, 300) + 3600) % 3600).Get();
}

// Words enter at half size and swell to one and a half times the size within
// 128 screen units after passing the middle. Positions keep the normal advance.
void StepInflate(TSaverAni& s, const FrameValues& f) {
  s.PerLetterSize = true;
  const Int32 halfWidth = s.HalfWidth;
  LetterLoop(s, f, [&](int32_t i, Int32 x) {
    s.LetterX[i] = x.Get();
    s.LetterY[i] = f.LY.Get();
    if (!StartsWord(s, i)) {
      s.LetterSize[i] = s.LetterSize[i - 1];
    } else if (x > halfWidth) {
      s.LetterSize[i] = 512;
    } else if (x > halfWidth - 128) {
      s.LetterSize[i] = (Int32(512) + Sin((halfWidth - x) * 8, 1024)).Get();
    } else {
      s.LetterSize[i] = 1536;
    }
  });
}

// Words approach and recede (half to one and a half times the size); their
// distance from the middle scales with them.
void StepNearAndFar(TSaverAni& s, const FrameValues& f) {
  s.PerLetterSize = true;
  const Int32 halfWidth = s.HalfWidth;
  LetterLoop(s, f, [&](int32_t i, Int32 x) {
    if (StartsWord(s, i)) {
      s.LetterSize[i] = (Int32(1024) - Sin((f.SW - x) * 50 / f.Speed, 512)).Get();
    } else {
      s.LetterSize[i] = s.LetterSize[i - 1];
    }
    s.LetterX[i] = (halfWidth + (x - halfWidth) * s.LetterSize[i] / 1024).Get();
    s.LetterY[i] = f.LY.Get();
  });
}

// Letters travel along the top edge, spiral at the middle into the line while
// turning once about themselves, then continue along the line.
void StepLoop(TSaverAni& s, const FrameValues& f) {
  s.PerLetterAngle = true;
  const Int32 halfWidth = s.HalfWidth;
  LetterLoop(s, f, [&](int32_t i, Int32 x) {
    Int32 r = 0;
    if (x > halfWidth) {
      s.LetterX[i] = x.Get();
      s.LetterY[i] = 0;
    } else if (x > halfWidth - 180) {
      r = (halfWidth - x) * 20;
      const Int32 radius = (x - (halfWidth - 180)) * f.LY / 180;
      const Int32 a = r * 4096 / 3600;
      s.LetterX[i] = (halfWidth - Sin(a, radius)).Get();
      s.LetterY[i] = (f.LY - Cos(a, radius)).Get();
    } else {
      s.LetterX[i] = (x + 180).Get();
      s.LetterY[i] = f.LY.Get();
    }
    s.LetterAngle[i] = r.Get();
  });
}

// Upside-down letters run along the bottom edge from left to right, climb a
// half circle in the middle while turning upright, then continue along the
// line. The pass lasts while any letter is still turned.
void StepUpsideDown(TSaverAni& s, const FrameValues& f) {
  s.PerLetterAngle = true;
  const Int32 halfWidth = s.HalfWidth;
  LetterLoop(
      s, f,
      [&](int32_t i, Int32 x) {
        Int32 r = 0;
        if (x > halfWidth) {
          r = 1800;
          s.LetterX[i] = (f.SW - x).Get();
          s.LetterY[i] = f.SH.Get();
        } else if (x > halfWidth - 180) {
          r = (halfWidth - x) * 10 + 1800;
          const Int32 a = r * 4096 / 3600;
          const Int32 q = (f.SH - f.LY) / 2;
          s.LetterX[i] = (halfWidth - Sin(a, q)).Get();
          s.LetterY[i] = ((f.SH + f.LY) / 2 - Cos(a, q)).Get();
        } else {
          s.LetterX[i] = (x + 180).Get();
          s.LetterY[i] = f.LY.Get();
        }
        s.LetterAngle[i] = r.Get();
      },
      [&](int32_t i, const TextExtent& extent) {
        return Int32(s.LetterX[i]) + extent.Width < -4 && s.LetterAngle[i] == 0;
      });
}

// Letters swing wildly up and down as they enter and calm down towards the
// left edge; x * x wraps at 32 bits for letters far off to the right.
void StepOscillate(TSaverAni& s, const FrameValues& f) {
  const Int32 centreY = s.CentreY;
  LetterLoop(s, f, [&](int32_t i, Int32 x) {
    const Int32 n = i;
    const Int32 angle = (n % 3) * 490 + n * 130 + (n & 2) * 200 + x * 23;
    s.LetterX[i] = x.Get();
    s.LetterY[i] = (centreY + Sin(angle, x * x / (f.SW * 4))).Get();
  });
}

// The line, turned a quarter counter-clockwise, moves down a column; a
// mirrored copy turned a quarter clockwise moves up the opposite column.
void StepVertical(TSaverAni& s, const FrameValues& f) {
  s.Mirror = true;
  s.PerLetterAngle = true;
  Int32 x = f.SX;
  for (int32_t i = 1; i <= s.LetterCount; ++i) {
    s.LetterAngle[i] = 900;
    s.LetterX[i] = f.LY.Get();
    s.LetterY[i] = (f.SH - x).Get();
    const Int32 w = LetterExtent(s, i).Width;
    x = x + w + f.Spacing;
    s.AllGone = s.AllGone && x + w < -4;  // tested on the advanced position
  }
  for (int32_t i = 1; i <= s.LetterCount; ++i) {
    const int32_t j = s.LetterCount + i;
    s.LetterAngle[j] = 2700;
    s.LetterX[j] = (f.SW - s.LetterX[i]).Get();
    s.LetterY[j] = (f.SH - s.LetterY[i]).Get();
  }
}

// Every letter on screen may drop, 4 times in 100 per frame, by two line
// heights with gravity 1, and stays down.
void StepDrop(TSaverAni& s, const FrameValues& f) {
  const Int32 bottom = f.H * 2 + f.LY;
  LetterLoop(s, f, [&](int32_t i, Int32 x) {
    Int32 y = s.LetterY[i];
    Int32 v = s.LetterVel[i];
    if (x < f.SW) {
      if (v == 0 && y < bottom && platform::Random(100) < 4) v = 1;
      if (v != 0) {
        y = y + v;
        if (y > bottom) {
          y = bottom;
          v = 0;
        } else {
          v = v + 1;
        }
      }
    } else {
      y = f.LY;
    }
    s.LetterX[i] = x.Get();
    s.LetterY[i] = y.Get();
    s.LetterVel[i] = v.Get();
  });
}

// Letters tip over to 90 degrees while crossing one line height after the
// middle, then fall back upright with angular acceleration 50 per frame and
// bounce back with a third of their angular speed.
void StepStumble(TSaverAni& s, const FrameValues& f) {
  s.PerLetterAngle = true;
  const Int32 halfWidth = s.HalfWidth;
  LetterLoop(s, f, [&](int32_t i, Int32 x) {
    Int32 r = s.LetterAngle[i];
    Int32 v = s.LetterVel[i];
    if (x > halfWidth) {
      r = 0;
    } else if (x > halfWidth - f.H) {
      r = (halfWidth - x) * 900 / f.H;  // H > 0 here, the band is not empty
      v = 0;
    } else {
      v = v + 50;
      r = r - v;
      if (r < 0) {
        r = 0;
        v = -Abs(v / 3);
      }
    }
    s.LetterX[i] = x.Get();
    s.LetterY[i] = f.LY.Get();
    s.LetterVel[i] = v.Get();
    s.LetterAngle[i] = r.Get();
  });
}

// All letters circle in step, each on a circle whose radius is a sixth of its
// distance from the left edge.
void StepLocomotion(TSaverAni& s, const FrameValues& f) {
  const Int32 a = f.SX * 12 - Int32(s.Phase);
  LetterLoop(s, f, [&](int32_t i, Int32 x) {
    const Int32 radius = x / 6;
    s.LetterX[i] = (x + Cos(a, radius) + f.SW / 6).Get();
    s.LetterY[i] = (f.LY + Sin(a, radius)).Get();
  });
}
