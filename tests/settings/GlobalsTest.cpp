#include <gtest/gtest.h>

#include "settings/GlobalsUnit.h"
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
  EXPECT_EQ(store.Find(kKey, "FontName")->data,
            (std::vector<uint8_t>{'I', 'm', 'p', 'a', 'c', 't', 0}));
  EXPECT_EQ(store.Dword(kKey, "EffectCode"), -2);
  EXPECT_EQ(StoredVersion, ProgramVersion);  // later loads of this start read what is saved
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

TEST_F(GlobalsTest, SaveWritesAllFourteenValues) {
  TGlobals g = DefaultGlobals();
  g.FontName = "Impact";
  g.DesktopFlag = true;
  g.EffectCode = 0x55;
  g.Text = "a\rb";
  SaveGlobals(g);
  EXPECT_EQ(store.Dword(kKey, "DesktopFlag"), 1);
  EXPECT_EQ(store.Dword(kKey, "EffectsFlag"), 1);
  EXPECT_EQ(store.Dword(kKey, "EffectCode"), 0x55);
  EXPECT_EQ(store.Find(kKey, "Text")->data, (std::vector<uint8_t>{'a', '\r', 'b', 0}));
  EXPECT_EQ(store.Storage().CommitCount(), 1);  // one write for the whole record
}

TEST_F(GlobalsTest, UnwritableKeyIsLeftAloneAndLoadStillWorks) {
  store.SetDword(kKey, "FontSize", 33);
  store.Storage().SetGrant("", KEY_READ);
  StoredVersion = "";
  const TGlobals g = Load();  // the migration's save cannot open the key: no error
  EXPECT_EQ(g.FontSize, 33);
  EXPECT_EQ(store.Find(kKey, "EffectCode"), nullptr);
}

TEST_F(GlobalsTest, StoredVersionCanBeReadWithoutCounting) {
  EXPECT_EQ(ReadStoredVersion(), "");
  store.SetString(kKey, "ExeVersion", "1.06 - 17 Jan 2001");
  store.SetDword(kKey, "ExeCounter", 4);
  EXPECT_EQ(ReadStoredVersion(), "1.06 - 17 Jan 2001");
  EXPECT_EQ(store.Dword(kKey, "ExeCounter"), 4);
}

}  // namespace
