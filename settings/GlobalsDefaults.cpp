// Defaults of the settings record and the version state of this start.
#include "settings/GlobalsUnit.h"
#include "settings/SettingsTable.h"

std::string StoredVersion;

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
  for (const TSetting& setting : SettingsTable()) {
    if (setting.Kind == skLines) {
      SetSetting(g, setting, DefaultText());
    } else if (setting.DefaultString != nullptr) {
      SetSetting(g, setting, std::string(setting.DefaultString));
    } else {
      SetSetting(g, setting, setting.Default);
    }
  }
  return g;
}
