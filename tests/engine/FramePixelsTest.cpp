// Whole frames on the Qt surface: restoring the background only where the
// last frame's letters were, and passing on only the places that changed,
// must give exactly the frames a full restore and a full copy give, for every
// effect, over black and over a picture, whatever the letters are.
#include <QCryptographicHash>
#include <set>

#include "engine/AnimationUnit.h"
#include "engine/QtSurface.h"
#include "platform/RandomNumbers.h"
#include "platform/ScreenMetrics.h"
#include "settings/GlobalsUnit.h"
#include "tests/support/QtTestApplication.h"

namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 240;

QImage Pattern(int width, int height) {
  QImage picture(width, height, QImage::Format_RGB32);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) picture.setPixel(x, y, qRgb(x * 3 % 256, y * 5 % 256, 90));
  return picture;
}

struct Texts {
  const char* name;
  const char* text;  // UTF-8
  int32_t fontSize;
  int frames;
};

const Texts kTexts[] = {
    {"Plain", "Wavy WORDS, jumping", 24, 90},
    // Decomposed accents, stacked marks, a mark with no base, glyphs that
    // reach left of their cell.
    {"CombiningMarks",
     "\xCC\x81x e\xCC\x80 a\xCC\x81\xCC\xA7 o\xCC\x88\xCC\x84\xCC\x84 Z\xCC\xB6\xCC\xB7\xCC\xB8 "
     "q\xCC\xA3\xCC\x87 \xC6\x92j",
     24, 70},
    // Colour emoji: a skin tone, a family joined by ZWJ, a flag.
    {"Emoji",
     "\xF0\x9F\x91\x8D\xF0\x9F\x8F\xBD \xF0\x9F\x91\xA8\xE2\x80\x8D\xF0\x9F\x91\xA9\xE2\x80\x8D"
     "\xF0\x9F\x91\xA7 \xF0\x9F\x87\xA9\xF0\x9F\x87\xAA \xF0\x9F\xA6\x8A",
     24, 70},
    // Scripts the face does not have, drawn from fallback fonts.
    {"FallbackScripts",
     "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E \xE0\xA4\xA8\xE0\xA4\xAE\xE0\xA4\xB8\xE0\xA5\x8D"
     "\xE0\xA4\xA4\xE0\xA5\x87",
     24, 70},
    // Letters taller than the screen.
    {"VeryLarge", "Wg\xC3\xA9 e\xCC\x81 \xF0\x9F\x91\x8D \xE6\x97\xA5", 200, 50},
};

struct Case {
  Texts texts;
  bool desktop;
};
void PrintTo(const Case& c, std::ostream* out) {
  *out << c.texts.name << (c.desktop ? " over the desktop" : " over black");
}

class FramePixelsTest : public ::testing::TestWithParam<Case> {
 protected:
  void SetUp() override {
    Settings = DefaultGlobals();
    Settings.FontName = "DejaVu Sans";
    Settings.FontSize = GetParam().texts.fontSize;
    Settings.Speed = 9;
    Settings.Text = GetParam().texts.text;
    Settings.EffectsFlag = false;
    Settings.DesktopFlag = GetParam().desktop;
    platform::SetPrimaryScreenSize(platform::ScreenSize{kWidth, kHeight});
  }
  void TearDown() override { platform::SetPrimaryScreenSize(std::nullopt); }

  TGlobals Settings;

  struct Run {
    std::vector<QByteArray> prints;  // fingerprints of the frames
    int partlyChanged = 0;           // frames handed over with less than all changed
  };

  Run Frames(int32_t effect, bool partly) {
    // Both runs draw each letter from the same shape.
    platform::SeedRandom(11);
    ImageSink sink;
    TSaverAni state;
    state.Width = kWidth;
    state.Height = kHeight;
    state.Background = &desktop;
    state.Target = &sink;
    state.MakeSurface = [this, partly](int32_t width, int32_t height) {
      auto surface = std::make_unique<QtSurface>(width, height, letters);
      surface->SetPartialRestore(partly);
      return surface;
    };
    state.Init(Settings);
    state.Effect = effect;
    state.LineIndex = -1;
    state.Layout();
    Run run;
    for (int f = 0; f < GetParam().texts.frames; ++f) {
      state.Step();
      state.Present();
      // The sink copies only the changed places into the frame it keeps.
      const QImage& frame = sink.Frame();
      run.prints.push_back(QCryptographicHash::hash(
          QByteArrayView(frame.constBits(), frame.sizeInBytes()), QCryptographicHash::Sha1));
      if (sink.Changed() != QRegion(frame.rect())) ++run.partlyChanged;
    }
    state.Done();
    return run;
  }

  const Picture desktop{Pattern(kWidth, kHeight)};
  const std::shared_ptr<LetterCache> letters = std::make_shared<LetterCache>();
};

TEST_P(FramePixelsTest, PartialRestoreAndChangedRegionsGiveTheFramesOfAFullRestore) {
  for (int32_t effect = 0; effect < kEffectCount; ++effect) {
    const Run full = Frames(effect, false);
    const Run partly = Frames(effect, true);
    for (size_t f = 0; f < full.prints.size(); ++f) {
      ASSERT_EQ(full.prints[f], partly.prints[f]) << EffectNames[effect] << ", frame " << f + 1;
    }
    // The frames do change: letters moved across them; and only in places.
    const size_t different = std::set<QByteArray>(full.prints.begin(), full.prints.end()).size();
    EXPECT_GT(different, full.prints.size() / 5) << EffectNames[effect];
    // Letters taller than the screen may change all of it.
    if (GetParam().texts.fontSize < 100) {
      EXPECT_GT(partly.partlyChanged, static_cast<int>(full.prints.size()) / 2)
          << EffectNames[effect];
    }
  }
}

std::vector<Case> AllCases() {
  std::vector<Case> cases;
  for (const Texts& texts : kTexts) {
    cases.push_back(Case{texts, false});
    cases.push_back(Case{texts, true});
  }
  return cases;
}

INSTANTIATE_TEST_SUITE_P(Texts, FramePixelsTest, ::testing::ValuesIn(AllCases()),
                         [](const auto& info) {
                           return std::string(info.param.texts.name) +
                                  (info.param.desktop ? "OverTheDesktop" : "OverBlack");
                         });

}  // namespace
