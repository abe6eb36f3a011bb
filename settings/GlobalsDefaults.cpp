// Defaults of the settings record and the program-wide settings state.
#include "settings/GlobalsUnit.h"

TGlobals Globals;
std::string StoredVersion;
bool TestRun = false;

const char* const ProgramVersion = "1.06 - 17 Jan 2001";
const char* const SettingsKeyPath = "\\Software\\Vandor\\ScreenSaver\\Lettrance";

const char* const FallbackFonts[8] = {
    "Excalibur Logotype", "Impact",      "AmerType Md BT",        "Comic Sans MS",
    "Times New Roman",    "Arial Black", "Arial Rounded MT Bold", "Arial",
};

std::string DefaultText() {
  return "Lettrance\r"
         "20 different text effects\r"
         "Visit www.vandor.example for more\r"
         "press S for setup";
}

TGlobals DefaultGlobals() {
  TGlobals g;
  g.TimerInterval = 25;
  g.Speed = 6;
  g.FontName.clear();
  g.FontSize = 60;
  g.FontSpacing = 0;
  g.FontColor = 49392;  // 0x00C0F0: red 240, green 192, blue 0
  g.Text = DefaultText();
  g.DesktopFlag = false;
  g.EffectsFlag = true;
  g.RandomYFlag = true;
  g.ColorFadingFlag = true;
  g.RandomColorFlag = true;
  g.EffectCode = -2;  // every effect but "Standard"
  g.DateTimeMode = 0;
  return g;
}
