// One frame of the animation: clock refresh, the current effect's letter
// loop, scrolling and colour fading.
#include <algorithm>
#include <stdexcept>

#include "engine/AnimationUnit.h"
#include "engine/LetterEffects.h"
#include "engine/Utf8Text.h"
#include "settings/GlobalsUnit.h"

namespace {

using EffectStep = void (*)(TSaverAni&, const FrameValues&);

constexpr EffectStep kEffectSteps[kEffectCount] = {
    StepStandard,   StepWave,      StepWorm,     StepBounce, StepJump,    StepZip,        StepFizz,
    StepSlope,      StepScatter,   StepSnake,    StepSwing,  StepInflate, StepNearAndFar, StepLoop,
    StepUpsideDown, StepOscillate, StepVertical, StepDrop,   StepStumble, StepLocomotion,
};

constexpr int32_t kTimeBit = 2;

// A running clock re-makes the date/time text every frame. Letters it adds
// beyond the laid-out ones start as the layout starts letters, at their
// unspaced positions from the current scroll position, so no effect reads a
// slot this pass never set.
void RefreshClock(TSaverAni& s) {
  const int32_t laidOut = s.LetterCount;
  s.SetLineText(DecodeUtf8(DateTimeText(s.Settings.DateTimeMode)));
  if (s.LetterCount <= laidOut) return;

  Int32 x = s.ScrollX;
  for (int32_t i = 1; i <= s.LetterCount; ++i) {
    if (i > laidOut) {
      s.LetterX[i] = x.Get();
      s.LetterY[i] = s.LineY;
      s.LetterVel[i] = 0;
      s.LetterSize[i] = 1024;
      s.LetterAngle[i] = 0;
    }
    x = x + s.ToScreen(s.Buffer->MeasureText(s.Letter(i)).Width);
  }
}

}  // namespace

void TSaverAni::Step() {
  if (!Buffer) throw std::logic_error("The animation was stepped before Init");
  ReadScreenSize();
  // The count follows the text; a state edited from outside cannot make the
  // loops read past the text or the letter slots.
  LetterCount = std::clamp<int32_t>(LetterCount, 0, LettersInLine());

  if (IsDateLine && (Settings.DateTimeMode & kTimeBit) != 0) RefreshClock(*this);
  Mirror = false;
  Buffer->SetFontSize(ToSurface(Settings.FontSize));
  AllGone = true;
  PerLetterSize = false;
  PerLetterAngle = false;
  TextAngle = 0;

  const FrameValues frame{ScreenWidth, ScreenHeight,     ToScreen(TextHeight), ScrollX,
                          LineY,       EffectiveSpeed(), Settings.FontSpacing};
  const int32_t effect = (Effect >= 0 && Effect < kEffectCount) ? Effect : efStandard;
  kEffectSteps[effect](*this, frame);

  ScrollX = (Int32(ScrollX) - frame.Speed).Get();

  if (Settings.ColorFadingFlag) {
    Hue = static_cast<uint16_t>(Hue + 200);
    Color = HSBToColor(Hue, Saturation, Brightness);
  }
}
