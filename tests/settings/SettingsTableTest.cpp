// The settings table walked once: every setting goes through its command-line
// option into a record, through the settings file and back, and is offered by
// the generated options file and manual page.
#include <gtest/gtest.h>

#include "settings/GlobalsUnit.h"
#include "settings/SettingsDocs.h"
#include "settings/SettingsTable.h"
#include "tests/settings/RegistryTestStore.h"

namespace {

const char* const kKey = "Software\\Vandor\\ScreenSaver\\Lettrance";

struct Case {
  const char* name;      // stored name
  const char* argument;  // the option's value; nullptr for a flag's "no-" form
  TSettingValue stored;  // what the file then holds (flags 0 or 1)
  const char* xml;       // what the options file offers for it
};

// Each value differs from the setting's default, so nothing passes by
// staying as it was.
const Case kCases[] = {
    {"TimerInterval", "70", 70,
     "arg=\"--interval %\"\n            _label=\"Milliseconds per frame\" _low-label=\"Smooth\" "
     "_high-label=\"Light\"\n            low=\"10\" high=\"100\" default=\"25\"/>"},
    {"Speed", "13", 13, "arg=\"--speed %\""},
    {"FontName", "DejaVu Serif", std::string("DejaVu Serif"),
     "<string id=\"font\" _label=\"Font\" arg=\"--font %\"/>"},
    {"FontSize", "200", 200, "low=\"8\" high=\"200\" default=\"60\""},
    {"FontSpacing", "50", 50, "low=\"0\" high=\"50\" default=\"0\""},
    {"FontColor", "#102030", 0x302010, "arg-set=\"--color #FF00FF\""},
    {"Text", "one\\ntwo", std::string("one\rtwo"), "arg=\"--text %\""},
    {"DesktopFlag", "", 1,
     "<boolean id=\"desktop\" _label=\"Draw over the desktop\" "
     "arg-set=\"--desktop\"/>"},
    {"EffectsFlag", nullptr, 0, "arg-unset=\"--no-special-effects\""},
    {"RandomYFlag", nullptr, 0, "arg-unset=\"--no-random-y\""},
    {"ColorFadingFlag", nullptr, 0, "arg-unset=\"--no-color-fading\""},
    {"RandomColorFlag", nullptr, 0, "arg-unset=\"--no-random-color\""},
    {"EffectCode", "Zip,Near && Far", (1 << 5) | (1 << 12),
     "<option id=\"nearfar\" _label=\"Only Near &amp; Far\" arg-set=\"--effects NearFar\"/>"},
    {"DateTimeMode", "date,short", 5, "arg-set=\"--date-time date,time,short\""},
    {"TextSource", "Program", 2,
     "<option id=\"program\" _label=\"What the text program prints\" "
     "arg-set=\"--text-source program\"/>"},
    {"TextFile", "/home/me/quotes.txt", std::string("/home/me/quotes.txt"),
     "<file id=\"textfile\" _label=\"Text file\" arg=\"--text-file %\"/>"},
    {"TextProgram", "fortune -s", std::string("fortune -s"),
     "<string id=\"textprogram\" _label=\"Text program\" arg=\"--text-program %\"/>"},
};

TEST(SettingsTableTest, EverySettingRoundTripsThroughItsOptionTheFileAndTheOptionsFile) {
  RegistryTestStore store;
  StoredVersion = ProgramVersion;
  SetInstalledFontsProvider([] { return std::vector<std::string>{"DejaVu Sans", "DejaVu Serif"}; });
  ASSERT_EQ(SettingsTable().size(), std::size(kCases));
  const std::string xml = OptionsFileControls();
  const std::string manual = ManualPageOptions();
  for (const Case& c : kCases) {
    const TSetting* setting = FindSetting(c.name);
    ASSERT_NE(setting, nullptr) << c.name;
    TGlobals record = DefaultGlobals();
    record.FontName = "DejaVu Sans";
    if (setting->Kind == skFlag) {
      SetSetting(record, *setting, c.argument == nullptr ? 0 : 1);
    } else {
      const std::optional<TSettingValue> value = ParseSettingOption(*setting, c.argument);
      ASSERT_TRUE(value.has_value()) << c.name;
      SetSetting(record, *setting, *value);
    }
    SaveGlobals(record);
    if (const auto* number = std::get_if<int32_t>(&c.stored)) {
      EXPECT_EQ(store.Dword(kKey, c.name), *number) << c.name;
    } else {
      EXPECT_EQ(store.String(kKey, c.name), std::get<std::string>(c.stored)) << c.name;
    }
    TGlobals loaded;
    LoadGlobals(loaded);
    EXPECT_EQ(GetSetting(loaded, *setting), c.stored) << c.name;
    EXPECT_NE(xml.find(c.xml), std::string::npos) << c.name << " in\n" << xml;
    std::string option = std::string("\\-\\-") + setting->Option;
    for (size_t dash = option.find('-', 4); dash != std::string::npos;
         dash = option.find('-', dash + 2)) {
      option.replace(dash, 1, "\\-");
    }
    EXPECT_NE(manual.find(option), std::string::npos) << c.name;
  }
  SetInstalledFontsProvider(nullptr);
  StoredVersion.clear();
}

TEST(SettingsTableTest, DefaultsAreTheFirstStartValues) {
  const TGlobals g = DefaultGlobals();
  EXPECT_EQ(g.TimerInterval, 25);
  EXPECT_EQ(g.FontColor, 0x00C0F0);
  EXPECT_EQ(g.EffectCode, -2);
  EXPECT_EQ(g.Text.substr(0, 10), "Lettrance\r");
  EXPECT_FALSE(g.DesktopFlag);
  EXPECT_TRUE(g.RandomColorFlag);
}

}  // namespace
