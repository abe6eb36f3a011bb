#pragma once
// The animation state: one line of text at a time moved letter by letter
// across the screen by one of twenty effects. Letter positions live on a plane
// of the primary screen's size (screen units); the back buffer is Width x
// Height surface pixels and is reached through ToSurface / ToScreen.

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/DrawingSurface.h"
#include "engine/TextFeed.h"
#include "engine/XColorUnit.h"
#include "settings/EffectNames.h"
#include "settings/GlobalsUnit.h"

// Longest line shown, in letters (user-perceived characters: a base letter
// with its accents, an emoji sequence, a flag); longer lines are cut.
constexpr int32_t kMaxLetters = 1000;
// Letter slots: the mirrored copies of "Vertical" sit behind the letters.
constexpr int32_t kLetterSlots = 2 * kMaxLetters;

enum TEffect : int32_t {
  efStandard,
  efWave,
  efWorm,
  efBounce,
  efJump,
  efZip,
  efFizz,
  efSlope,
  efScatter,
  efSnake,
  efSwing,
  efInflate,
  efNearAndFar,
  efLoop,
  efUpsideDown,
  efOscillate,
  efVertical,
  efDrop,
  efStumble,
  efLocomotion,
};

// Per-letter values; slot 1 is the first letter, slot 0 is unused.
using LetterArray = std::array<int32_t, kLetterSlots + 1>;

struct TSaverAni {
  int32_t Width = 0;  // drawing surface, set by the host before Init
  int32_t Height = 0;
  int32_t ScrollX = 0;  // x of the first letter, unaffected by the effect
  int32_t LineY = 0;    // y of the line's top, unaffected by the effect
  std::vector<std::u32string> Lines;
  int32_t Effect = 0;       // TEffect
  std::u32string LineText;  // the current line
  // Where the letters of LineText begin, and where the last one ends: letter
  // i is LineText[LetterStart[i - 1], LetterStart[i]).
  std::vector<int32_t> LetterStart;
  int32_t TextHeight = 0;  // surface pixels
  int32_t LineIndex = -1;
  bool Mirror = false;  // letters also drawn mirrored ("Vertical")
  bool IsDateLine = false;
  int32_t LetterCount = 0;
  TColor Color = 0;  // colour of the first letter in this frame
  uint16_t Hue = 0;
  uint16_t Saturation = 0;
  uint16_t Brightness = 0;
  LetterArray LetterX{};      // drawn x, screen units
  LetterArray LetterY{};      // drawn y, screen units
  LetterArray LetterVel{};    // the effect's velocity, counter or angle
  LetterArray LetterSize{};   // font scale in 1/1024 of FontSize
  LetterArray LetterAngle{};  // rotation, tenths of a degree counter-clockwise
  int32_t CentreY = 0;
  int32_t HalfWidth = 0;
  int32_t FloorY = 0;
  int32_t SlopeStep = 0;
  int32_t ScatterStart = 0;
  int32_t SnakeWidth = 0;
  int32_t SnakeCentreY = 0;
  uint16_t Phase = 0;
  int32_t TextAngle = 0;  // rotation of the whole line ("Swing")
  bool PerLetterSize = false;
  bool PerLetterAngle = false;
  int32_t FizzRadius = 0;
  bool AllGone = false;                 // every letter has left: the pass is over
  const Picture* Background = nullptr;  // desktop picture, not owned
  bool Preview = false;
  std::unique_ptr<DrawingSurface> Buffer;  // the back buffer and its font

  // How Init makes the back buffer; set by the host before Init.
  SurfaceFactory MakeSurface;
  // Where Present shows finished frames (the saver window, the preview
  // window or an image); set by the host. Without one, frames are composed
  // but shown nowhere.
  FrameTarget* Target = nullptr;
  // Where fresh lines come from each cycle (a file, a program); none: the
  // settings' text. Set by the host, not owned.
  TTextFeed* TextFeed = nullptr;
  // The lines are the feed's, not the stand-in text shown until it answers.
  bool FedLines = false;
  // The settings this animation draws with: the host's copy, handed over by
  // Init. Only an EffectCode that enables no effect is ever repaired here.
  TGlobals Settings;
  // The primary screen's size as read at the start of the last Init, Layout
  // or Step: the plane of the letter positions.
  int32_t ScreenWidth = 1;
  int32_t ScreenHeight = 1;

  // Takes the settings, gathers the lines, makes the back buffer and lays
  // out the first pass. May be called again to restart.
  void Init(const TGlobals& settings);
  // Releases the back buffer and the lines.
  void Done();
  // A cycle of the lines starts: the feed's latest text becomes the lines,
  // and it is asked for the next.
  void StartCycle();
  // Until the feed has answered once, its first text replaces the stand-in
  // as soon as it comes: true when it did.
  bool TakeFirstFedLines();
  // Starts a pass: next line, next effect, letters at their start positions.
  void Layout();
  // Advances one frame: every letter moved by the current effect, the line
  // scrolled by Speed, colour fading advanced.
  void Step();
  // Draws the frame into the back buffer (background, shadow, letters),
  // starts the next pass when this one is over, and hands the whole frame to
  // the target in one copy.
  void Present();
  // Draws every letter displaced by (dx, dy) screen units; all black when not
  // coloured (the shadow).
  void Draw(int32_t dx, int32_t dy, bool coloured);

  // Screen units to surface pixels and back; both scale by Height / screen
  // height on both axes and truncate toward zero.
  int32_t ToSurface(int32_t v) const;
  int32_t ToScreen(int32_t v) const;

  // Speed as the engine uses it: stored values below 1 act as 1, so the line
  // always moves and nothing divides by zero.
  int32_t EffectiveSpeed() const;
  // Reads the primary screen's size into ScreenWidth / ScreenHeight.
  void ReadScreenSize();

  // Makes `text` the current line, cut into letters and to kMaxLetters of
  // them; sets LineText, LetterStart and LetterCount.
  void SetLineText(std::u32string text);
  // Letter i (1-based); empty outside the line.
  std::u32string_view Letter(int32_t i) const;
  // How many letters LineText holds, at most kMaxLetters.
  int32_t LettersInLine() const;
};

// The date/time line for a DateTimeMode value (bit 0 date, bit 1 time, bit 2
// short date): for example "17.01.01 09:05" for mode 4; the product name
// "Lettrance" for mode 0 and unknown modes. UTF-8.
std::string DateTimeText(int32_t mode);

// Turns the surface's font by angle tenths of a degree, counter-clockwise.
void SetFontAngle(DrawingSurface& font, int32_t angle);

// Splits a text into lines at CR, LF and CR LF; a final line break adds no
// empty line.
std::vector<std::u32string> SplitLines(const std::string& text);
