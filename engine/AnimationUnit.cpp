// The animation state: initialisation, the lines, and the layout of a pass.
#include "engine/AnimationUnit.h"

#include <algorithm>
#include <stdexcept>

#include "engine/Int32.h"
#include "engine/Utf8Text.h"
#include "platform/RandomNumbers.h"
#include "platform/ScreenMetrics.h"
#include "settings/GlobalsUnit.h"

namespace {

constexpr int32_t kEffectBits = (1 << kEffectCount) - 1;

bool EffectEnabled(int32_t code, int32_t effect) {
  return ((code >> effect) & 1) != 0;
}

}  // namespace

std::vector<std::u32string> SplitLines(const std::string& text) {
  std::vector<std::u32string> lines;
  size_t start = 0;
  while (start < text.size()) {
    const size_t end = text.find_first_of("\r\n", start);
    if (end == std::string::npos) {
      lines.push_back(DecodeUtf8(std::string_view(text).substr(start)));
      break;
    }
    lines.push_back(DecodeUtf8(std::string_view(text).substr(start, end - start)));
    start = end + 1;
    if (text[end] == '\r' && start < text.size() && text[start] == '\n') ++start;
  }
  return lines;
}

int32_t TSaverAni::ToSurface(int32_t v) const {
  if (ScreenHeight <= 0) return 0;
  return static_cast<int32_t>(static_cast<int64_t>(v) * Height / ScreenHeight);
}

int32_t TSaverAni::ToScreen(int32_t v) const {
  if (Height <= 0) return 0;
  return static_cast<int32_t>(static_cast<int64_t>(v) * ScreenHeight / Height);
}

int32_t TSaverAni::EffectiveSpeed() const {
  return std::max(Settings.Speed, 1);
}

void TSaverAni::ReadScreenSize() {
  const platform::ScreenSize screen = platform::PrimaryScreenSize();
  ScreenWidth = screen.Width;
  ScreenHeight = screen.Height;
}

void TSaverAni::SetLineText(std::u32string text) {
  const std::vector<size_t> ends = Buffer->LetterEnds(text);
  LetterStart.assign(1, 0);
  for (const size_t end : ends) {
    if (LetterStart.size() > static_cast<size_t>(kMaxLetters)) break;
    // A surface must cut in order and within the text; anything else ends the line.
    if (end <= static_cast<size_t>(LetterStart.back()) || end > text.size()) break;
    LetterStart.push_back(static_cast<int32_t>(end));
  }
  text.resize(static_cast<size_t>(LetterStart.back()));
  LineText = std::move(text);
  LetterCount = LettersInLine();
}

std::u32string_view TSaverAni::Letter(int32_t i) const {
  if (i < 1 || i >= static_cast<int32_t>(LetterStart.size())) return {};
  const size_t start = std::min<size_t>(static_cast<size_t>(LetterStart[i - 1]), LineText.size());
  const size_t end =
      std::clamp<size_t>(static_cast<size_t>(LetterStart[i]), start, LineText.size());
  return std::u32string_view(LineText).substr(start, end - start);
}

int32_t TSaverAni::LettersInLine() const {
  return static_cast<int32_t>(
      std::min<size_t>(kMaxLetters, LetterStart.empty() ? 0 : LetterStart.size() - 1));
}

void TSaverAni::Init(const TGlobals& settings) {
  if (!MakeSurface) throw std::logic_error("The animation has no way to make its back buffer");
  Settings = settings;
  // A window that reports no size yet still gets a one-pixel surface, so the
  // scaling between surface and screen never divides by zero.
  Width = std::max(Width, 1);
  Height = std::max(Height, 1);
  ReadScreenSize();

  Lines = SplitLines(Settings.Text);
  if (Settings.DateTimeMode == 0 && Lines.empty()) Lines = SplitLines(DefaultText());

  Buffer = MakeSurface(Width, Height);
  if (!Buffer) throw std::logic_error("The animation's back buffer could not be made");
  Buffer->SetFontFace(Settings.FontName);

  Effect = efStandard;
  LineIndex = -1;
  IsDateLine = false;
  FedLines = false;
  Layout();
}

void TSaverAni::Done() {
  Buffer.reset();
  Lines.clear();
}

bool TSaverAni::TakeFirstFedLines() {
  if (TextFeed == nullptr || FedLines) return false;
  std::optional<std::string> text = TextFeed->FreshText();
  if (!text) return false;
  std::vector<std::u32string> lines = SplitLines(*text);
  if (lines.empty()) return false;
  Lines = std::move(lines);
  FedLines = true;
  return true;
}

void TSaverAni::StartCycle() {
  if (TextFeed == nullptr) return;
  if (FedLines) {
    if (std::optional<std::string> text = TextFeed->FreshText()) {
      std::vector<std::u32string> lines = SplitLines(*text);
      if (!lines.empty()) Lines = std::move(lines);
    }
  } else {
    TakeFirstFedLines();
  }
  TextFeed->CycleStarted();
}

void TSaverAni::Layout() {
  if (!Buffer) throw std::logic_error("The animation was laid out before Init");
  // The first fed text starts its own cycle at once.
  if (TakeFirstFedLines()) LineIndex = -1;
  ReadScreenSize();
  const Int32 SW = ScreenWidth;
  const Int32 SH = ScreenHeight;

  Buffer->SetFontSize(ToSurface(Settings.FontSize));

  if (Settings.EffectsFlag) {
    if (Effect < 0 || Effect >= kEffectCount) Effect = efStandard;
    do {
      if ((Settings.EffectCode & kEffectBits) == 0) Settings.EffectCode = 1;
      Effect = (platform::Random(kEffectCount - 1) + Effect + 1) % kEffectCount;
    } while (!EffectEnabled(Settings.EffectCode, Effect));
  }

  if (Lines.empty()) {
    IsDateLine = true;
    // Only the date line so far: the feed is asked until it answers.
    if (TextFeed != nullptr) TextFeed->CycleStarted();
  } else if (Settings.DateTimeMode == 0) {
    IsDateLine = false;
  } else {
    IsDateLine = !IsDateLine;
  }
  if (IsDateLine) {
    SetLineText(DecodeUtf8(DateTimeText(Settings.DateTimeMode)));
  } else {
    LineIndex = LineIndex + 1;
    if (LineIndex >= static_cast<int32_t>(Lines.size()) || LineIndex < 0) LineIndex = 0;
    if (LineIndex == 0) StartCycle();
    SetLineText(Lines[LineIndex]);
  }

  TextHeight = Buffer->MeasureText(LineText).Height;
  const Int32 H = ToScreen(TextHeight);

  CentreY = ((SH - H) / 2).Get();
  SnakeWidth = (SW / 3).Get();
  SnakeCentreY = ((SH - H) / 2).Get();
  HalfWidth = (SW / 2).Get();
  FloorY = (SH - H).Get();
  SlopeStep = ((Int32(platform::Random(2)) * 2 - 1) * ((Int32(EffectiveSpeed()) + 1) / 2)).Get();
  ScatterStart = (SW / 3).Get();
  ScrollX = (SW + 2).Get();
  Phase = static_cast<uint16_t>(platform::Random(65536));
  LineY = Settings.RandomYFlag ? platform::Random((SH - H).Get()) : CentreY;

  Int32 lineY = LineY;
  Int32 scrollX = ScrollX;
  switch (Effect) {
    case efFizz:
      FizzRadius = ((SH - lineY) / 2 + H).Get();
      break;
    case efVertical:
      // The line runs down a column; keep that column off the screen's middle,
      // where the mirrored copy runs up.
      lineY = lineY + (SW - SH) / 2;
      scrollX = SH + 2;
      if (Abs(lineY - SW / 2) < H) lineY = lineY / 2;
      break;
    case efSwing:
    case efLoop:
      scrollX = scrollX + H;
      break;
    case efUpsideDown:
    case efDrop:
      lineY = (SH - H * 2) * lineY / SH;
      break;
    case efLocomotion:
      lineY = (SH - SH / 3) * lineY / SH + SH / 6;
      break;
    case efInflate:
    case efNearAndFar:
      lineY = (SH - H) * lineY / SH;
      break;
    default:
      break;
  }
  LineY = lineY.Get();
  ScrollX = scrollX.Get();

  Int32 x = ScrollX;
  for (int32_t i = 1; i <= LetterCount; ++i) {
    LetterX[i] = x.Get();
    LetterY[i] = LineY;
    LetterVel[i] = 0;
    x = x + ToScreen(Buffer->MeasureText(Letter(i)).Width);
  }

  if (Settings.RandomColorFlag) {
    Hue = static_cast<uint16_t>(platform::Random(65536));
    Saturation = 65535;
    Brightness = 65535;
    Color = HSBToColor(Hue, Saturation, Brightness);
  } else {
    Color = static_cast<TColor>(Settings.FontColor);
    const THSB hsb = ColorToHSB(Color);
    Hue = hsb.Hue;
    Saturation = hsb.Saturation;
    Brightness = hsb.Brightness;
  }
}
