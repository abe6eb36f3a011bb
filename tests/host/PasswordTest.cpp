#include "host/PasswordUnit.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "tests/settings/RegistryTestStore.h"

namespace {

const char* const kDesktopKey = "Control Panel\\Desktop";
using Events = std::vector<std::string>;
enum class Answer { MayClose, Stay, NoEntryPoint, Raise, NoLibrary };

// Password dialogs and cursor in one, writing down what is done to them.
class FakePasswords : public TPasswordPlatform, public TCursorSwitch {
 public:
  explicit FakePasswords(Answer answer) : answer_(answer) {}
  Events Log;

  void ShowCursor(bool visible) override { Log.push_back(visible ? "show" : "hide"); }
  std::unique_ptr<TPasswordLibrary> LoadVerifyLibrary() override { return Load(); }
  std::unique_ptr<TPasswordLibrary> LoadChangeLibrary() override { return Load(); }

 private:
  struct Library : TPasswordLibrary {
    explicit Library(FakePasswords& owner) : owner(owner) {}
    ~Library() override { owner.Log.push_back("unload"); }
    TVerifyScreenSavePwd FindVerifyScreenSavePwd() override {
      if (owner.answer_ == Answer::NoEntryPoint) return {};
      return [this](platform::WindowId parent) {
        owner.Log.push_back("ask " + std::to_string(parent));
        if (owner.answer_ == Answer::Raise) throw std::runtime_error("dialog failed");
        return owner.answer_ == Answer::MayClose;
      };
    }
    TPwdChangePassword FindPwdChangePassword() override {
      if (owner.answer_ == Answer::NoEntryPoint) return {};
      return [this](const std::string& provider, platform::WindowId parent, int32_t a, int32_t b) {
        owner.Log.push_back("change " + provider + " " + std::to_string(parent) + " " +
                            std::to_string(a) + " " + std::to_string(b));
      };
    }
    FakePasswords& owner;
  };
  std::unique_ptr<TPasswordLibrary> Load() {
    Log.push_back("load");
    if (answer_ == Answer::NoLibrary) return nullptr;
    return std::make_unique<Library>(*this);
  }
  Answer answer_;
};

class PasswordTest : public ::testing::Test {
 protected:
  // Whether the saver may close, and what happened on the way.
  std::pair<bool, Events> Verify(Answer answer) {
    FakePasswords fake(answer);
    const bool mayClose = VerifyPassword(4711, fake, fake);
    return {mayClose, fake.Log};
  }
  void SwitchOn() { store.SetDword(kDesktopKey, "ScreenSaveUsePassword", 1); }
  RegistryTestStore store;
};

TEST_F(PasswordTest, SwitchedOnAsksThePlatformWithTheCursorShown) {
  SwitchOn();
  const Events asked{"show", "load", "ask 4711", "unload", "hide"};
  EXPECT_EQ(Verify(Answer::Stay), std::make_pair(false, asked));  // wrong or cancelled
  EXPECT_EQ(Verify(Answer::MayClose), std::make_pair(true, asked));
  store.Storage().SetGrant(kDesktopKey, platform::KEY_READ);  // read access is enough
  EXPECT_EQ(Verify(Answer::Stay).first, false);
}

TEST_F(PasswordTest, SwitchedOffOrUnreadableClosesWithoutAsking) {
  EXPECT_EQ(Verify(Answer::Stay), std::make_pair(true, Events{}));  // no key: cursor untouched
  store.SetDword(kDesktopKey, "Wallpaper", 0);                      // key, but no value
  EXPECT_EQ(Verify(Answer::Stay), std::make_pair(true, Events{"show", "hide"}));
  const std::pair<uint32_t, std::vector<uint8_t>> offOrUnreadable[] = {
      {platform::REG_NONE, {}},                          // value missing
      {platform::REG_DWORD, {0, 0, 0, 0}},               // switched off
      {platform::REG_SZ, {'1', 0}},                      // text, not an integer
      {platform::REG_BINARY, {1, 0, 0, 0, 0, 0, 0, 0}},  // too long for an integer
  };
  for (const auto& [type, data] : offOrUnreadable) {
    store.Set(kDesktopKey, "ScreenSaveUsePassword", type, data);
    EXPECT_EQ(Verify(Answer::Stay), std::make_pair(true, Events{"show", "hide"})) << type;
  }
}

TEST_F(PasswordTest, EveryFaultLetsTheSaverClose) {
  SwitchOn();
  EXPECT_EQ(Verify(Answer::NoLibrary), std::make_pair(true, Events{"show", "load", "hide"}));
  EXPECT_EQ(Verify(Answer::NoEntryPoint),
            std::make_pair(true, Events{"show", "load", "unload", "hide"}));
  EXPECT_EQ(Verify(Answer::Raise),
            std::make_pair(true, Events{"show", "load", "ask 4711", "unload", "hide"}));

  FakePasswords cursor(Answer::Stay);  // this desktop has no verifier at all
  EXPECT_TRUE(VerifyPassword(4711, cursor));
  EXPECT_EQ(cursor.Log, (Events{"show", "hide"}));
}

TEST_F(PasswordTest, ChangeCallsThePlatformDialogWhenThereIsOne) {
  FakePasswords present(Answer::MayClose), noEntry(Answer::NoEntryPoint), none(Answer::NoLibrary);
  ChangePassword(99, present);
  ChangePassword(99, noEntry);
  ChangePassword(99, none);
  ChangePassword(99);  // this desktop: nothing to call, nothing raised
  EXPECT_EQ(present.Log, (Events{"load", "change SCRSAVE 99 0 0", "unload"}));
  EXPECT_EQ(noEntry.Log, (Events{"load", "unload"}));
  EXPECT_EQ(none.Log, (Events{"load"}));
}

}  // namespace
