#include <gtest/gtest.h>

#include <tuple>

#include "settings/GlobalsUnit.h"
#include "settings/NTReg.h"
#include "tests/settings/RegistryTestStore.h"

using namespace platform;

namespace {

const char* const kKey = "Software\\Vandor\\ScreenSaver\\Lettrance";

class GlobalsTest : public ::testing::Test {
 protected:
  GlobalsTest() { UseFonts({"Default", "DejaVu Sans", "Impact", "Arial"}); }
  ~GlobalsTest() override {
    SetInstalledFontsProvider(nullptr);
    StoredVersion.clear();
  }
  static void UseFonts(std::vector<std::string> fonts) {
    SetInstalledFontsProvider([fonts] { return fonts; });
  }
  TGlobals Load() {
    TGlobals g;
    LoadGlobals(g);
    return g;
  }
  RegistryTestStore store;
};

TEST_F(GlobalsTest, EmptyKeyGivesDefaultsAndWritesThemBack) {
  StoredVersion = "";
  const TGlobals g = Load();
  EXPECT_EQ(g.TimerInterval, 25);
  EXPECT_EQ(g.Speed, 6);
  EXPECT_EQ(g.FontName, "Impact");  // first installed fallback face
  EXPECT_EQ(g.FontSize, 60);
  EXPECT_EQ(g.FontSpacing, 0);
  EXPECT_EQ(g.FontColor, 0xC0F0);
  EXPECT_EQ(g.Text,
            "Lettrance\r20 different text effects\rVisit www.vandor.example for more\r"
            "press S for setup");
  EXPECT_FALSE(g.DesktopFlag);
  EXPECT_TRUE(g.EffectsFlag && g.RandomYFlag && g.ColorFadingFlag && g.RandomColorFlag);
  EXPECT_EQ(g.EffectCode, -2);
  EXPECT_EQ(g.DateTimeMode, 0);

  const char* const names[] = {"TimerInterval", "Speed",           "FontName",
                               "FontSize",      "FontSpacing",     "FontColor",
                               "Text",          "DesktopFlag",     "EffectsFlag",
                               "RandomYFlag",   "ColorFadingFlag", "RandomColorFlag",
                               "EffectCode",    "DateTimeMode"};
  for (const char* name : names) EXPECT_NE(store.Find(kKey, name), nullptr) << name;
  EXPECT_EQ(store.Data(kKey, "FontName"),
            (std::vector<uint8_t>{'I', 'm', 'p', 'a', 'c', 't', 0}));
  EXPECT_EQ(store.Dword(kKey, "EffectCode"), -2);
  EXPECT_EQ(StoredVersion, ProgramVersion);  // later loads of this start read what is saved
  // The migration records this version, in the same store as the record.
  EXPECT_EQ(store.Data(kKey, "ExeVersion"),
            (std::vector<uint8_t>{'1', '.', '0', '6', ' ', '-', ' ', '1', '7', ' ', 'J', 'a', 'n',
                                  ' ', '2', '0', '0', '1', 0}));
  EXPECT_EQ(store.Storage().CommitCount(), 1);
}

TEST_F(GlobalsTest, FontFallback) {
  StoredVersion = ProgramVersion;
  store.SetString(kKey, "FontName", "dejavu SANS");
  EXPECT_EQ(Load().FontName, "dejavu SANS");  // case is ignored, the stored text kept
  store.SetString(kKey, "FontName", "Default");
  EXPECT_EQ(Load().FontName, "Default");
  store.SetString(kKey, "FontName", "No Such Face");
  UseFonts({"Default", "Comic Sans MS", "Arial Black"});
  EXPECT_EQ(Load().FontName, "Comic Sans MS");
  UseFonts({"Default", "DejaVu Sans"});
  EXPECT_EQ(Load().FontName, "Arial");  // none installed: the last entry regardless
}

TEST_F(GlobalsTest, VersionGateOpen) {
  StoredVersion = "1.06 - 17 Jan 2001";
  store.SetDword(kKey, "DesktopFlag", 5);
  store.SetDword(kKey, "EffectCode", 1);
  store.SetDword(kKey, "DateTimeMode", 7);
  store.SetDword(kKey, "RandomYFlag", 0);
  TGlobals g = Load();
  EXPECT_TRUE(g.DesktopFlag);
  EXPECT_EQ(g.EffectCode, 1);
  EXPECT_EQ(g.DateTimeMode, 7);
  EXPECT_FALSE(g.RandomYFlag);
  EXPECT_EQ(store.Dword(kKey, "DesktopFlag"), 5);  // an open gate writes nothing
  SaveGlobals(g);
  EXPECT_EQ(store.Dword(kKey, "DesktopFlag"), 1);
}

TEST_F(GlobalsTest, VersionGateClosedResetsGatedFieldsOnly) {
  for (const char* other : {"", "1.05 - 01 Jan 2000", "1.06 - 17 JAN 2001"}) {
    StoredVersion = other;
    store.SetDword(kKey, "EffectCode", 1);
    store.SetDword(kKey, "DesktopFlag", 1);
    store.SetDword(kKey, "FontSize", 99);
    const TGlobals g = Load();
    EXPECT_EQ(g.EffectCode, -2) << other;
    EXPECT_FALSE(g.DesktopFlag);
    EXPECT_EQ(g.FontSize, 99);  // always read
    EXPECT_EQ(store.Dword(kKey, "EffectCode"), -2);
    EXPECT_EQ(store.Dword(kKey, "FontSize"), 99);
  }
}

TEST_F(GlobalsTest, StoredValuesAreUsedAsTheyAre) {
  StoredVersion = ProgramVersion;
  store.SetDword(kKey, "TimerInterval", 0);
  EXPECT_EQ(Load().TimerInterval, 0);
  store.SetDword(kKey, "TimerInterval", 1000);
  store.SetDword(kKey, "FontSize", 500);
  EXPECT_EQ(Load().TimerInterval, 1000);
  EXPECT_EQ(Load().FontSize, 500);
  store.SetString(kKey, "Speed", "9");
  EXPECT_EQ(Load().Speed, 6);  // wrong type: default
  store.SetDword(kKey, "Speed", 0);
  EXPECT_EQ(Load().Speed, 1);  // never below one pixel a frame
  store.SetDword(kKey, "Speed", -5);
  EXPECT_EQ(Load().Speed, 1);
  store.SetString(kKey, "Text", "one\r\ntwo\nthree");
  EXPECT_EQ(Load().Text, "one\r\ntwo\nthree");
}

// The fourteen fields as one comparable value.
auto Fields(const TGlobals& g) {
  return std::make_tuple(g.TimerInterval, g.Speed, g.FontName, g.FontSize, g.FontSpacing,
                         g.FontColor, g.Text, g.DesktopFlag, g.EffectsFlag, g.RandomYFlag,
                         g.ColorFadingFlag, g.RandomColorFlag, g.EffectCode, g.DateTimeMode);
}

TEST_F(GlobalsTest, EachFlagIsSavedAndLoadedUnderItsOwnName) {
  StoredVersion = ProgramVersion;
  const char* const flags[] = {"DesktopFlag", "EffectsFlag", "RandomYFlag", "ColorFadingFlag",
                               "RandomColorFlag"};
  for (int alone = 0; alone < 5; ++alone) {
    TGlobals g = DefaultGlobals();
    g.FontName = "Impact";
    bool* const fields[] = {&g.DesktopFlag, &g.EffectsFlag, &g.RandomYFlag, &g.ColorFadingFlag,
                            &g.RandomColorFlag};
    for (int k = 0; k < 5; ++k) *fields[k] = k == alone;
    SaveGlobals(g);
    for (int k = 0; k < 5; ++k) {
      EXPECT_EQ(store.Dword(kKey, flags[k]), k == alone ? 1 : 0) << flags[alone] << " alone";
    }
    EXPECT_EQ(Fields(Load()), Fields(g)) << flags[alone] << " alone";
  }
}

TEST_F(GlobalsTest, SaveWritesAllFourteenValuesInOneStore) {
  StoredVersion = ProgramVersion;
  TGlobals g;
  g.TimerInterval = 11;
  g.Speed = 12;
  g.FontName = "Impact";
  g.FontSize = 13;
  g.FontSpacing = 14;
  g.FontColor = 0x0F0E0D;
  g.Text = "a\rb";
  g.DesktopFlag = true;
  g.EffectsFlag = false;
  g.RandomYFlag = true;
  g.ColorFadingFlag = false;
  g.RandomColorFlag = true;
  g.EffectCode = 0x55;
  g.DateTimeMode = 5;
  SaveGlobals(g);
  EXPECT_EQ(store.Storage().CommitCount(), 1);  // one write for the whole record
  const std::pair<const char*, int32_t> dwords[] = {
      {"TimerInterval", 11}, {"Speed", 12},         {"FontSize", 13},        {"FontSpacing", 14},
      {"FontColor", 0x0F0E0D}, {"DesktopFlag", 1},  {"EffectsFlag", 0},      {"RandomYFlag", 1},
      {"ColorFadingFlag", 0},  {"RandomColorFlag", 1}, {"EffectCode", 0x55}, {"DateTimeMode", 5}};
  for (const auto& [name, value] : dwords) EXPECT_EQ(store.Dword(kKey, name), value) << name;
  EXPECT_EQ(store.Data(kKey, "FontName"),
            (std::vector<uint8_t>{'I', 'm', 'p', 'a', 'c', 't', 0}));
  EXPECT_EQ(store.Data(kKey, "Text"), (std::vector<uint8_t>{'a', '\r', 'b', 0}));
  EXPECT_EQ(store.Find(kKey, "ExeVersion"), nullptr);  // only a migration records the version
  EXPECT_EQ(Fields(Load()), Fields(g));
}

TEST_F(GlobalsTest, UnwritableKeyIsLeftAloneAndLoadStillWorks) {
  store.SetDword(kKey, "FontSize", 33);
  store.Storage().SetGrant("", KEY_READ);
  StoredVersion = "";
  const TGlobals g = Load();  // the migration's save cannot open the key: no error
  EXPECT_EQ(g.FontSize, 33);
  EXPECT_EQ(store.Find(kKey, "EffectCode"), nullptr);
  EXPECT_EQ(StoredVersion, "");  // not migrated: the next load tries again
}

TEST_F(GlobalsTest, SettingsThatCannotBeStoredRaiseTheRegistryError) {
  StoredVersion = ProgramVersion;
  store.SetDword(kKey, "FontSize", 33);
  TGlobals g = Load();
  g.FontSize = 77;
  const auto saveError = [&]() -> std::string {
    try {
      SaveGlobals(g);
    } catch (const ERegistryError& error) {
      return error.what();
    }
    return "returned normally";
  };
  // The key cannot be opened for writing.
  store.Storage().SetGrant(kKey, KEY_READ);
  EXPECT_EQ(saveError(),
            "Konnte Daten für '\\Software\\Vandor\\ScreenSaver\\Lettrance' nicht setzen");
  // The key opens, but the store refuses the record.
  store.Storage().SetGrant(kKey, KEY_ALL_ACCESS);
  store.Storage().SetCommitStatus(ERROR_WRITE_FAULT);
  EXPECT_EQ(saveError(), "Konnte Daten für 'TimerInterval' nicht setzen");
  EXPECT_EQ(store.Dword(kKey, "FontSize"), 33);  // what was stored stays
  // The refused change is kept and stored by the next store that succeeds.
  store.Storage().SetCommitStatus(ERROR_SUCCESS);
  EXPECT_EQ(Load().FontSize, 77);
  store.Registry().Flush();
  EXPECT_EQ(store.Dword(kKey, "FontSize"), 77);
}

TEST_F(GlobalsTest, StoredVersionCanBeReadWithoutCounting) {
  EXPECT_EQ(ReadStoredVersion(), "");
  store.SetString(kKey, "ExeVersion", "1.06 - 17 Jan 2001");
  store.SetDword(kKey, "ExeCounter", 4);
  EXPECT_EQ(ReadStoredVersion(), "1.06 - 17 Jan 2001");
  EXPECT_EQ(store.Dword(kKey, "ExeCounter"), 4);
}

}  // namespace
