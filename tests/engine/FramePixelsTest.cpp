// Whole frames on the Qt surface: restoring the background only where the
// last frame's letters were must give exactly the frames a full restore
// gives, for every effect, over black and over a picture.
#include <QCryptographicHash>
#include <set>

#include "engine/AnimationUnit.h"
#include "engine/QtSurface.h"
#include "platform/RandomNumbers.h"
#include "platform/ScreenMetrics.h"
#include "settings/GlobalsUnit.h"
#include "tests/support/QtTestApplication.h"

namespace {

QImage Pattern(int width, int height) {
  QImage picture(width, height, QImage::Format_RGB32);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) picture.setPixel(x, y, qRgb(x * 3 % 256, y * 5 % 256, 90));
  return picture;
}

class FramePixelsTest : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    TestRun = true;
    Globals = DefaultGlobals();
    Globals.FontName = "DejaVu Sans";
    Globals.FontSize = 24;
    Globals.Speed = 9;
    Globals.Text = "Wavy WORDS, jumping";
    Globals.EffectsFlag = false;
    Globals.DesktopFlag = GetParam();
    platform::SetPrimaryScreenSize(platform::ScreenSize{320, 240});
  }
  void TearDown() override {
    platform::SetPrimaryScreenSize(std::nullopt);
    TestRun = false;
  }

  // Fingerprints of `frames` frames of one effect.
  std::vector<QByteArray> Frames(int32_t effect, bool partly, int frames) {
    platform::SeedRandom(11);
    ImageSink sink;
    TSaverAni state;
    state.Width = 320;
    state.Height = 240;
    state.Background = &desktop;
    state.Target = &sink;
    state.MakeSurface = [partly](int32_t width, int32_t height) {
      auto surface = std::make_unique<QtSurface>(width, height);
      surface->SetPartialRestore(partly);
      return surface;
    };
    state.Init();
    state.Effect = effect;
    state.LineIndex = -1;
    state.Layout();
    std::vector<QByteArray> prints;
    for (int f = 0; f < frames; ++f) {
      state.Step();
      state.Present();
      const QImage& frame = sink.Frame();
      prints.push_back(QCryptographicHash::hash(
          QByteArrayView(frame.constBits(), frame.sizeInBytes()), QCryptographicHash::Sha1));
    }
    state.Done();
    return prints;
  }

  const Picture desktop{Pattern(320, 240)};
};

TEST_P(FramePixelsTest, PartialRestoreGivesTheSameFramesAsAFullOne) {
  for (int32_t effect = 0; effect < kEffectCount; ++effect) {
    const auto full = Frames(effect, false, 90);
    const auto partly = Frames(effect, true, 90);
    for (size_t f = 0; f < full.size(); ++f) {
      ASSERT_EQ(full[f], partly[f]) << EffectNames[effect] << ", frame " << f + 1;
    }
    // The frames do change: letters moved across them.
    EXPECT_GT(std::set<QByteArray>(full.begin(), full.end()).size(), 30u) << EffectNames[effect];
  }
}

INSTANTIATE_TEST_SUITE_P(Backgrounds, FramePixelsTest, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Desktop" : "Black"; });

}  // namespace
