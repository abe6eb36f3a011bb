// Effects 0 to 9: the letters move; size and rotation stay normal.
#include "engine/LetterEffects.h"
#include "platform/RandomNumbers.h"

void StepStandard(TSaverAni& s, const FrameValues& f) {
  LetterLoop(s, f, [&](int32_t i, Int32 x) {
    s.LetterX[i] = x.Get();
    s.LetterY[i] = f.LY.Get();
  });
}

// Letters ride a sine wave centred on the middle line; the phase advances by
// 200 per frame whatever the speed.
void StepWave(TSaverAni& s, const FrameValues& f) {
  const Int32 centreY = s.CentreY;
  LetterLoop(s, f, [&](int32_t i, Int32 x) {
    s.LetterX[i] = x.Get();
    s.LetterY[i] = (centreY + Sin(f.SX * 200 / f.Speed + Int32(300) * i, f.H / 2)).Get();
  });
}

// Letters bunch and spread horizontally.
void StepWorm(TSaverAni& s, const FrameValues& f) {
  LetterLoop(s, f, [&](int32_t i, Int32 x) {
    s.LetterX[i] = (x + Sin(f.SX * 200 / f.Speed + Int32(300) * i, f.H / 4) + f.H / 4).Get();
    s.LetterY[i] = f.LY.Get();
  });
}

// Letters drop from the top edge as they enter, fall with gravity 1 and bounce
// on the floor with half their speed.
void StepBounce(TSaverAni& s, const FrameValues& f) {
  const Int32 floorY = s.FloorY;
  LetterLoop(s, f, [&](int32_t i, Int32 x) {
    Int32 y = s.LetterY[i];
    Int32 v = s.LetterVel[i];
    if (x > f.SW) {
      y = 0;
    } else {
      y = y + v;
      if (y > floorY) {
        y = floorY;
        v = -(Abs(v) / 2);
      }
      v = v + 1;
    }
    s.LetterX[i] = x.Get();
    s.LetterY[i] = y.Get();
    s.LetterVel[i] = v.Get();
  });
}

// Letters sit on a base line until they cross the middle, jump once and
// settle with bounces.
void StepJump(TSaverAni& s, const FrameValues& f) {
  const Int32 base = Int32(s.CentreY) + f.LY / 2;
  const Int32 halfWidth = s.HalfWidth;
  LetterLoop(s, f, [&](int32_t i, Int32 x) {
    Int32 y = s.LetterY[i];
    Int32 v = s.LetterVel[i];
    if (x + f.Speed > halfWidth) {
      y = base;
      if (x <= halfWidth) v = -(f.SH / 40);  // crossing the middle in this frame
    }
    y = y + v;
    if (y > base) {
      y = base;
      v = -(Abs(v) / 2);
    }
    v = v + 1;
    s.LetterX[i] = x.Get();
    s.LetterY[i] = y.Get();
    s.LetterVel[i] = v.Get();
  });
}

// Odd letters rise from below the screen, even ones fall from above, each
// accelerating until it snaps onto the line.
void StepZip(TSaverAni& s, const FrameValues& f) {
  LetterLoop(s, f, [&](int32_t i, Int32 x) {
    Int32 y = s.LetterY[i];
    Int32 v = s.LetterVel[i];
    if (x > f.SW) {
      y = (i % 2 == 1) ? f.SH : -f.H;
    } else if (y > f.LY) {
      v = v - 1;
      y = y + v;
      if (y <= f.LY) {
        y = f.LY;
        v = 0;
      }
    } else if (y < f.LY) {
      v = v + 1;
      y = y + v;
      if (y >= f.LY) {
        y = f.LY;
        v = 0;
      }
    }
    s.LetterX[i] = x.Get();
    s.LetterY[i] = y.Get();
    s.LetterVel[i] = v.Get();
  });
}

// Each letter, once on screen, flies in on an arc from far below-left in 32
// frames; V is its angle on the arc (0..1024).
void StepFizz(TSaverAni& s, const FrameValues& f) {
  const Int32 radius = s.FizzRadius;
  LetterLoop(
      s, f,
      [&](int32_t i, Int32 x) {
        Int32 v = s.LetterVel[i];
        if (x < f.SW && v < 1024) v = v + 32;
        s.LetterX[i] = (x + Sin(v, f.SH * 2) - f.SH * 2).Get();
        s.LetterY[i] = (Cos(v * 2, radius) + radius + f.LY).Get();
        s.LetterVel[i] = v.Get();
      },
      [&](int32_t i, const TextExtent& extent) {
        return s.LetterVel[i] >= 1024 && Int32(s.LetterX[i]) + extent.Width < -4;
      });
}

// Letters glide diagonally once on screen, all in the direction chosen for the
// pass, and reflect off the top and bottom edges.
void StepSlope(TSaverAni& s, const FrameValues& f) {
  const Int32 lowest = f.SH - f.H;
  LetterLoop(s, f, [&](int32_t i, Int32 x) {
    Int32 y = s.LetterY[i];
    Int32 v = s.LetterVel[i];
    if (x < f.SW && v == 0) v = s.SlopeStep;
    y = y + v;
    if (y <= 0) {
      y = 0;
      v = Abs(v);
    } else if (y >= lowest) {
      y = lowest;
      v = -Abs(v);
    }
    s.LetterX[i] = x.Get();
    s.LetterY[i] = y.Get();
    s.LetterVel[i] = v.Get();
  });
}

// Past the first third of the screen letters fly apart, each in its own
// direction, at twice their distance past that point. A letter off the top or
// bottom counts as gone.
void StepScatter(TSaverAni& s, const FrameValues& f) {
  const Int32 start = s.ScatterStart;
  LetterLoop(
      s, f,
      [&](int32_t i, Int32 x) {
        if (x > start) {
          s.LetterX[i] = x.Get();
          s.LetterY[i] = f.LY.Get();
        } else {
          const Int32 direction = Cos(Int32(150) * i, 800);
          const Int32 distance = (start - x) * 2;
          s.LetterX[i] = (x - Cos(direction, distance)).Get();
          s.LetterY[i] = (f.LY + Sin(direction, distance)).Get();
        }
      },
      [&](int32_t i, const TextExtent& extent) {
        const Int32 y = s.LetterY[i];
        return Int32(s.LetterX[i]) + extent.Width < -4 || y + extent.Height < -4 || y > f.SH + 4;
      });
}

// The line winds across the whole screen height; the pass's random phase
// shifts the horizontal wave.
void StepSnake(TSaverAni& s, const FrameValues& f) {
  const Int32 halfSnake = Int32(s.SnakeWidth) / 2;
  const Int32 centreY = s.SnakeCentreY;
  const Int32 phase = s.Phase;
  LetterLoop(s, f, [&](int32_t i, Int32 x) {
    s.LetterX[i] = (x - Sin(Int32(150) * i + f.SX * 10 - phase, halfSnake) + halfSnake).Get();
    s.LetterY[i] = (centreY + Cos(Int32(250) * i + f.SX * 7, centreY / 2)).Get();
  });
}
