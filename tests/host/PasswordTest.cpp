#include "host/PasswordUnit.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "tests/settings/RegistryTestStore.h"

namespace {

const char* const kDesktopKey = "Control Panel\\Desktop";

// Records what the check does; answers as told.
struct Recorder : TCursorSwitch {
  std::vector<std::string> Events;
  void ShowCursor(bool visible) override { Events.push_back(visible ? "show" : "hide"); }
};

enum class Answer { MayClose, Stay, NoEntryPoint, Raise };

class FakeLibrary : public TPasswordLibrary {
 public:
  FakeLibrary(Recorder& log, Answer answer) : log_(log), answer_(answer) {}
  ~FakeLibrary() override { log_.Events.push_back("unload"); }
  TVerifyScreenSavePwd FindVerifyScreenSavePwd() override {
    if (answer_ == Answer::NoEntryPoint) return {};
    return [this](platform::WindowId parent) {
      log_.Events.push_back("ask " + std::to_string(parent));
      if (answer_ == Answer::Raise) throw std::runtime_error("dialog failed");
      return answer_ == Answer::MayClose;
    };
  }
  TPwdChangePassword FindPwdChangePassword() override {
    if (answer_ == Answer::NoEntryPoint) return {};
    return [this](const std::string& provider, platform::WindowId parent, int32_t a, int32_t b) {
      log_.Events.push_back("change " + provider + " " + std::to_string(parent) + " " +
                            std::to_string(a) + " " + std::to_string(b));
    };
  }

 private:
  Recorder& log_;
  Answer answer_;
};

class FakePlatform : public TPasswordPlatform {
 public:
  FakePlatform(Recorder& log, Answer answer, bool present = true)
      : log_(log), answer_(answer), present_(present) {}
  std::unique_ptr<TPasswordLibrary> LoadVerifyLibrary() override { return Load("verify"); }
  std::unique_ptr<TPasswordLibrary> LoadChangeLibrary() override { return Load("change"); }

 private:
  std::unique_ptr<TPasswordLibrary> Load(const char* which) {
    log_.Events.push_back(std::string("load ") + which);
    if (!present_) return nullptr;
    return std::make_unique<FakeLibrary>(log_, answer_);
  }
  Recorder& log_;
  Answer answer_;
  bool present_;
};

using Events = std::vector<std::string>;

class PasswordTest : public ::testing::Test {
 protected:
  bool Verify(Answer answer, bool present = true) {
    FakePlatform platform(log, answer, present);
    return VerifyPassword(4711, log, platform);
  }
  RegistryTestStore store;
  Recorder log;
};

TEST_F(PasswordTest, PasswordOnAsksThePlatformWithTheCursorShown) {
  store.SetDword(kDesktopKey, "ScreenSaveUsePassword", 1);
  EXPECT_FALSE(Verify(Answer::Stay));  // wrong or cancelled: the saver keeps running
  EXPECT_EQ(log.Events, (Events{"show", "load verify", "ask 4711", "unload", "hide"}));

  log.Events.clear();
  store.SetDword(kDesktopKey, "ScreenSaveUsePassword", -1);  // any non-zero value
  EXPECT_TRUE(Verify(Answer::MayClose));
  EXPECT_EQ(log.Events, (Events{"show", "load verify", "ask 4711", "unload", "hide"}));
}

TEST_F(PasswordTest, PasswordOffOrUnreadableClosesWithoutAsking) {
  EXPECT_TRUE(Verify(Answer::Stay));  // no key at all: the cursor is not touched
  EXPECT_EQ(log.Events, Events{});

  store.SetDword(kDesktopKey, "Wallpaper", 0);  // the key exists, the value not
  EXPECT_TRUE(Verify(Answer::Stay));
  EXPECT_EQ(log.Events, (Events{"show", "hide"}));

  const std::pair<uint32_t, std::vector<uint8_t>> offOrUnreadable[] = {
      {platform::REG_DWORD, {0, 0, 0, 0}},               // switched off
      {platform::REG_SZ, {'1', 0}},                      // text, not an integer
      {platform::REG_BINARY, {1, 0, 0, 0, 0, 0, 0, 0}},  // too long for an integer
  };
  for (const auto& [type, data] : offOrUnreadable) {
    log.Events.clear();
    store.Set(kDesktopKey, "ScreenSaveUsePassword", type, data);
    EXPECT_TRUE(Verify(Answer::Stay)) << type;
    EXPECT_EQ(log.Events, (Events{"show", "hide"})) << type;
  }
}

TEST_F(PasswordTest, ReadAccessToTheSettingIsEnough) {
  store.SetDword(kDesktopKey, "ScreenSaveUsePassword", 1);
  store.Storage().SetGrant(kDesktopKey, platform::KEY_READ);
  EXPECT_FALSE(Verify(Answer::Stay));
}

TEST_F(PasswordTest, EveryFaultLetsTheSaverClose) {
  store.SetDword(kDesktopKey, "ScreenSaveUsePassword", 1);
  EXPECT_TRUE(Verify(Answer::Stay, false));  // no library
  EXPECT_EQ(log.Events, (Events{"show", "load verify", "hide"}));

  log.Events.clear();
  EXPECT_TRUE(Verify(Answer::NoEntryPoint));  // unloaded all the same
  EXPECT_EQ(log.Events, (Events{"show", "load verify", "unload", "hide"}));

  log.Events.clear();
  EXPECT_TRUE(Verify(Answer::Raise));
  EXPECT_EQ(log.Events, (Events{"show", "load verify", "ask 4711", "unload", "hide"}));
}

TEST_F(PasswordTest, ThisDesktopHasNoVerifierSoTheSaverCloses) {
  store.SetDword(kDesktopKey, "ScreenSaveUsePassword", 1);
  EXPECT_TRUE(VerifyPassword(4711, log));
  EXPECT_EQ(log.Events, (Events{"show", "hide"}));
  ChangePassword(4711);  // nothing to call, nothing raised
}

TEST_F(PasswordTest, ChangeCallsThePlatformDialogWhenThereIsOne) {
  FakePlatform platform(log, Answer::MayClose);
  ChangePassword(99, platform);
  EXPECT_EQ(log.Events, (Events{"load change", "change SCRSAVE 99 0 0", "unload"}));

  log.Events.clear();
  FakePlatform withoutEntry(log, Answer::NoEntryPoint);
  ChangePassword(99, withoutEntry);
  EXPECT_EQ(log.Events, (Events{"load change", "unload"}));

  log.Events.clear();
  FakePlatform absent(log, Answer::MayClose, false);
  ChangePassword(99, absent);
  EXPECT_EQ(log.Events, (Events{"load change"}));
}

}  // namespace
