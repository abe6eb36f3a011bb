// Composing a frame in the back buffer and handing it to the window.
#include <algorithm>
#include <stdexcept>

#include "engine/AnimationUnit.h"
#include "engine/Int32.h"
#include "settings/GlobalsUnit.h"

namespace {

constexpr TColor kBlack = 0;

}  // namespace

void SetFontAngle(DrawingSurface& font, int32_t angle) {
  font.SetFontAngle(angle);
}

void TSaverAni::Present() {
  if (!Buffer) throw std::logic_error("The animation was presented before Init");
  ReadScreenSize();
  // Without a picture to show the desktop flag falls back to black.
  if (Settings.DesktopFlag && Background != nullptr) {
    Buffer->CopyBackground(*Background);
  } else {
    Buffer->FillBlack();
  }
  if (Settings.DesktopFlag) {
    const int32_t d = Settings.FontSize / 20;
    Draw(d, d, false);
  }
  Draw(0, 0, true);
  if (AllGone) Layout();
  Buffer->HandOver(Target);
}

void TSaverAni::Draw(int32_t dx, int32_t dy, bool coloured) {
  DrawingSurface& surface = *Buffer;
  const Int32 H = ToScreen(TextHeight);
  // Letters are skipped on x alone; those above or below the surface are
  // clipped by the drawing.
  const Int32 leftmost = Int32(dx) - H * 2;
  const Int32 rightmost = Int32(ScreenWidth) + H + dy;

  surface.SetFontSize(ToSurface(Settings.FontSize));
  SetFontAngle(surface, TextAngle);
  int32_t angleInUse = TextAngle;

  uint16_t hue = Hue;
  surface.SetFontColor(coloured ? Color : kBlack);
  surface.SetSilhouette(!coloured);
  const bool fading = coloured && Settings.ColorFadingFlag;

  // Draws letter `letter` with the position and angle of slot `slot`.
  const auto drawLetter = [&](int32_t slot, int32_t letter) {
    const Int32 x = LetterX[slot];
    if (x >= leftmost && x <= rightmost) {
      if (PerLetterSize) {
        surface.SetFontSize(
            ToSurface((Int32(Settings.FontSize) * LetterSize[letter] / 1024).Get()));
        angleInUse = 0;  // a new size comes unrotated
      }
      if (PerLetterAngle && LetterAngle[slot] != angleInUse) {
        angleInUse = LetterAngle[slot];
        SetFontAngle(surface, angleInUse);
      }
      surface.DrawLetter(ToSurface((x + dx).Get()), ToSurface((Int32(LetterY[slot]) + dy).Get()),
                         Letter(letter));
    }
    // Fading runs for every letter, drawn or not, so letter i always has
    // the hue Hue - 700 * (i - 1).
    if (fading) {
      hue = static_cast<uint16_t>(hue - 700);
      surface.SetFontColor(HSBToColor(hue, Saturation, Brightness));
    }
  };

  // Step keeps the count within the text; a state edited from outside must
  // not make the drawing read past it either.
  const int32_t count = std::clamp<int32_t>(LetterCount, 0, LettersInLine());
  for (int32_t i = 1; i <= count; ++i) drawLetter(i, i);
  if (Mirror) {
    if (coloured) {
      surface.SetFontColor(Color);
      hue = Hue;
    }
    for (int32_t i = 1; i <= count; ++i) drawLetter(count + i, i);
  }
}
