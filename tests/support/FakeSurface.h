#pragma once
// A drawing surface with fixed, simple metrics that records what is drawn, so
// tests can work out every letter position by hand.

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "engine/DrawingSurface.h"

class FakeSurface : public DrawingSurface {
 public:
  struct DrawnLetter {
    int32_t X;
    int32_t Y;
    std::u32string Letter;
    TColor Color;
    bool Silhouette;
    int32_t Size;
    int32_t Angle;
    size_t FillsBefore;  // how many fills came before this letter
  };
  enum class Fill { None, Black, Background };

  // Every code point is LetterWidth wide unless listed in Widths; any text,
  // even an empty one, is TextHeight high. A code point in U+0300..U+036F
  // (a combining accent) belongs to the letter before it.
  int32_t LetterWidth = 10;
  int32_t TextHeight = 20;
  std::map<char32_t, int32_t> Widths;

  // What the animation set and drew.
  std::string Face;
  int32_t Size = 0;
  int32_t Angle = 0;
  TColor Color = 0;
  bool Silhouette = false;
  std::vector<int32_t> SizesSet;
  std::vector<int32_t> AnglesSet;
  std::vector<DrawnLetter> Drawn;
  std::vector<Fill> Fills;
  const Picture* BackgroundCopied = nullptr;
  int HandOvers = 0;
  FrameTarget* LastTarget = nullptr;

  void SetFontFace(const std::string& face) override { Face = face; }
  void SetFontSize(int32_t points) override {
    Size = points;
    Angle = 0;
    SizesSet.push_back(points);
  }
  void SetFontAngle(int32_t tenths) override {
    Angle = tenths;
    AnglesSet.push_back(tenths);
  }
  void SetFontColor(TColor color) override { Color = color; }
  void SetSilhouette(bool on) override { Silhouette = on; }

  std::vector<size_t> LetterEnds(std::u32string_view text) override {
    std::vector<size_t> ends;
    for (size_t k = 0; k < text.size(); ++k) {
      const bool accent = text[k] >= 0x300 && text[k] <= 0x36F;
      if (accent && !ends.empty()) {
        ends.back() = k + 1;
      } else {
        ends.push_back(k + 1);
      }
    }
    return ends;
  }

  TextExtent MeasureText(std::u32string_view text) override {
    int32_t width = 0;
    for (const char32_t letter : text) width += WidthOf(letter);
    return TextExtent{width, TextHeight};
  }
  void DrawLetter(int32_t x, int32_t y, std::u32string_view letter) override {
    Drawn.push_back(
        DrawnLetter{x, y, std::u32string(letter), Color, Silhouette, Size, Angle, Fills.size()});
  }
  void FillBlack() override { Fills.push_back(Fill::Black); }
  void CopyBackground(const Picture& picture) override {
    Fills.push_back(Fill::Background);
    BackgroundCopied = &picture;
  }
  void HandOver(FrameTarget* target) override {
    ++HandOvers;
    LastTarget = target;
  }

 private:
  int32_t WidthOf(char32_t letter) const {
    if (Widths.empty()) return LetterWidth;
    const auto found = Widths.find(letter);
    return found == Widths.end() ? LetterWidth : found->second;
  }
};
