#pragma once
// Test set-up for the animation: a fixed 800 x 600 screen, settings filled in
// by the test (never loaded), a scripted random source, a fixed clock and a
// fake surface whose letters are 10 wide and whose text is 20 high, so with a
// surface of the screen's size H = 20 and every letter advances by 10.

#include <gtest/gtest.h>

#include <deque>
#include <map>
#include <memory>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/AnimationUnit.h"
#include "platform/LocalClock.h"
#include "platform/RandomNumbers.h"
#include "platform/ScreenMetrics.h"
#include "settings/GlobalsUnit.h"
#include "tests/support/FakeSurface.h"

// Drawn position (and working value) of a letter, for compact expectations.
struct Pos {
  int32_t X, Y;
  friend bool operator==(const Pos&, const Pos&) = default;
  friend std::ostream& operator<<(std::ostream& out, const Pos& p) {
    return out << "(" << p.X << ", " << p.Y << ")";
  }
};
struct PosV {
  int32_t X, Y, V;
  friend bool operator==(const PosV&, const PosV&) = default;
  friend std::ostream& operator<<(std::ostream& out, const PosV& p) {
    return out << "(" << p.X << ", " << p.Y << ", v " << p.V << ")";
  }
};
inline Pos At(const TSaverAni& s, int i) {
  return Pos{s.LetterX[i], s.LetterY[i]};
}
inline PosV AtV(const TSaverAni& s, int i) {
  return PosV{s.LetterX[i], s.LetterY[i], s.LetterVel[i]};
}

// Random(n) answers from a queue per n; an empty queue answers 0. Every call
// is logged with its n. Code that keeps drawing (a loop waiting for an answer
// that never comes) fails its test at once instead of running into the time
// limit.
class ScriptedRandom {
 public:
  static constexpr size_t kMaxCalls = 1000000;

  ScriptedRandom() {
    platform::SetRandomSource([this](int32_t n) {
      if (Calls.size() >= kMaxCalls) {
        throw std::runtime_error("Random(" + std::to_string(n) + ") drawn " +
                                 std::to_string(kMaxCalls) + " times: the code keeps drawing");
      }
      Calls.push_back(n);
      auto& queue = answers_[n];
      if (queue.empty()) return 0;
      const int32_t value = queue.front();
      queue.pop_front();
      return value;
    });
  }
  ~ScriptedRandom() { platform::SetRandomSource({}); }
  ScriptedRandom(const ScriptedRandom&) = delete;
  ScriptedRandom& operator=(const ScriptedRandom&) = delete;

  void Answer(int32_t n, std::vector<int32_t> values) {
    for (int32_t v : values) answers_[n].push_back(v);
  }
  int CallsWith(int32_t n) const {
    int count = 0;
    for (int32_t c : Calls) count += c == n ? 1 : 0;
    return count;
  }

  std::vector<int32_t> Calls;

 private:
  std::map<int32_t, std::deque<int32_t>> answers_;
};

class EngineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Settings = TGlobals{};
    Settings.Speed = 6;
    Settings.FontName = "DejaVu Sans";
    Settings.FontSize = 60;
    Settings.FontSpacing = 0;
    Settings.FontColor = 49392;
    Settings.Text = "AB";
    Settings.EffectsFlag = false;
    Settings.EffectCode = -2;
    SetScreen(800, 600);
    platform::SetLocalClock([this] { return Now; });
  }
  void TearDown() override {
    platform::SetPrimaryScreenSize(std::nullopt);
    platform::SetLocalClock({});
  }

  static void SetScreen(int32_t width, int32_t height) {
    platform::SetPrimaryScreenSize(platform::ScreenSize{width, height});
  }

  // A state on a surface of width x height, initialised with Settings.
  std::unique_ptr<TSaverAni> MakeState(int32_t width = 800, int32_t height = 600) {
    auto state = std::make_unique<TSaverAni>();
    state->Width = width;
    state->Height = height;
    state->MakeSurface = [this](int32_t, int32_t) {
      auto surface = std::make_unique<FakeSurface>();
      surface->LetterWidth = LetterWidth;
      surface->TextHeight = TextHeight;
      Surface = surface.get();
      return surface;
    };
    state->Init(Settings);
    return state;
  }

  // Lays out a new pass on the first text line with the given effect and
  // that effect's start adjustments (effect choice is off in these tests).
  static void Relayout(TSaverAni& state, int32_t effect) {
    state.Effect = effect;
    state.LineIndex = -1;
    state.Layout();
  }
  std::unique_ptr<TSaverAni> StartPass(int32_t effect) {
    auto state = MakeState();
    Relayout(*state, effect);
    return state;
  }
  // Runs frames; the state is left after the last one.
  static void Frames(TSaverAni& state, int count) {
    for (int f = 0; f < count; ++f) state.Step();
  }

  static std::u32string U(const std::string& text) {
    return std::u32string(text.begin(), text.end());
  }

  TGlobals Settings;  // what the next state is made with
  ScriptedRandom Random;
  platform::LocalDateTime Now{2001, 1, 17, 9, 5, 7};
  FakeSurface* Surface = nullptr;
  int32_t LetterWidth = 10;
  int32_t TextHeight = 20;
};
