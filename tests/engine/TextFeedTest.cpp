// Fed text made safe to show, and the cycle that asks for fresh lines.
#include "engine/TextFeed.h"

#include <deque>

#include "tests/engine/EngineTestState.h"

namespace {

TEST(SafeFedTextTest, WhatComesBackIsMadeSafeToShow) {
  const std::pair<std::string, std::string> cases[] = {
      // Line breaks of every kind; blank lines left out.
      {"a\nb\r\nc\rd\n", "a\rb\rc\rd"},
      {"\r\r\n\n  \t \nx", "x"},
      {"", ""},
      // Tabs as spaces; other controls dropped, DEL and C1 too.
      {"a\tb", "a b"},
      {"be\x07l\x08l\x7F\x01", "bell"},
      {"c1 \xC2\x85x", "c1 x"},
      // Colour, cursor and title escapes, 7-bit and 8-bit forms.
      {"\x1B[1;31mred\x1B[0m plain", "red plain"},
      {"\x1B]0;title\x07shown", "shown"},
      {"\x1B]2;t\x1B\\shown", "shown"},
      {"\xC2\x9B"
       "2Jclear",
       "clear"},
      {"\x1B(Bg0\x1B"
       "7x",
       "g0x"},
      {"cut\x1B[", "cut"},
      // Valid UTF-8 as it is, a byte order mark dropped; else Latin-1.
      {"\xEF\xBB\xBF"
       "caf\xC3\xA9",
       "caf\xC3\xA9"},
      {"caf\xE9 \xFF", "caf\xC3\xA9 \xC3\xBF"},
  };
  for (const auto& [bytes, shown] : cases) EXPECT_EQ(SafeFedText(bytes), shown) << bytes;
}

TEST(SafeFedTextTest, AtMost64KiBAreReadAndNoLetterIsCutInHalf) {
  // 65535 x 'a', then an e-acute that the limit cuts after its first byte.
  const std::string bytes = std::string(65535, 'a') + "\xC3\xA9" + "more";
  const std::string shown = SafeFedText(bytes);
  EXPECT_EQ(shown, std::string(65535, 'a'));
  EXPECT_EQ(SafeFedText(std::string(1 << 20, 'b')).size(), 65536u);
}

// Answers each request for the next cycle with the next of its texts.
class ScriptedFeed : public TTextFeed {
 public:
  explicit ScriptedFeed(std::deque<std::string> texts) : FTexts(std::move(texts)) {}
  std::optional<std::string> FreshText() override { return std::exchange(FReady, std::nullopt); }
  void CycleStarted() override {
    ++Requests;
    if (!FTexts.empty()) {
      FReady = FTexts.front();
      FTexts.pop_front();
    }
  }
  int Requests = 0;

 private:
  std::deque<std::string> FTexts;
  std::optional<std::string> FReady;
};

class TextCycleTest : public EngineTest {
 protected:
  std::unique_ptr<TSaverAni> StartFed(TTextFeed& feed) {
    auto s = std::make_unique<TSaverAni>();
    s->Width = 800;
    s->Height = 600;
    s->MakeSurface = [](int32_t, int32_t) { return std::make_unique<FakeSurface>(); };
    s->TextFeed = &feed;
    s->Init(Settings);
    return s;
  }
  static std::u32string Shown(const TSaverAni& s) { return s.LineText; }
};

TEST_F(TextCycleTest, EachCycleShowsTheTextFetchedDuringTheOneBefore) {
  Settings.Text = "stored";
  ScriptedFeed feed({"one\rtwo", "three", "four"});
  auto s = StartFed(feed);
  // The first pass starts a cycle: the stored text stands in, the feed is
  // asked; its answer starts a cycle of its own at the next pass.
  EXPECT_EQ(Shown(*s), U"stored");
  EXPECT_EQ(feed.Requests, 1);
  std::vector<std::u32string> passes;
  for (int pass = 0; pass < 5; ++pass) {
    s->Layout();
    passes.push_back(Shown(*s));
  }
  EXPECT_EQ(passes, (std::vector<std::u32string>{U"one", U"two", U"three", U"four", U"four"}));
  EXPECT_EQ(feed.Requests, 5);
}

TEST_F(TextCycleTest, TheDateLineKeepsItsPlaceBetweenFedLines) {
  Settings.Text = "stored";
  Settings.DateTimeMode = 2;  // the time
  ScriptedFeed feed({"a\rb"});
  auto s = StartFed(feed);
  std::vector<bool> dateLines{s->IsDateLine};
  std::vector<std::u32string> texts;
  for (int pass = 0; pass < 5; ++pass) {
    s->Layout();
    dateLines.push_back(s->IsDateLine);
    if (!s->IsDateLine) texts.push_back(Shown(*s));
  }
  // The date line first; the stored text stands in until the feed answers.
  EXPECT_EQ(dateLines, (std::vector<bool>{true, false, true, false, true, false}));
  EXPECT_EQ(texts, (std::vector<std::u32string>{U"stored", U"a", U"b"}));
}

}  // namespace
