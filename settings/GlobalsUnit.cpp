// Loading and saving the settings record, with the version gate and the
// font fallback.
#include "settings/GlobalsUnit.h"

#include <algorithm>

#include "platform/registry/RegHive.h"
#include "settings/XRegistryUnit.h"

namespace {

InstalledFontsProvider& FontsProvider() {
  static InstalledFontsProvider provider = [] { return std::vector<std::string>{"Default"}; };
  return provider;
}

bool IsInstalled(const std::string& face, const std::vector<std::string>& installed) {
  const std::string folded = platform::FoldRegName(face);
  return std::any_of(installed.begin(), installed.end(), [&](const std::string& name) {
    return platform::FoldRegName(name) == folded;
  });
}

// The record, and with the migration of a first start this version's name,
// written in one store: a start ended before the migration leaves the older
// version recorded, so the next start migrates again.
void StoreRecord(const TGlobals& globals, bool recordVersion) {
  TNewRegistry registry;
  if (!registry.OpenPath(SettingsKeyPath, true)) {
    throw ERegistryError(RegistryWriteErrorText(SettingsKeyPath));
  }
  registry.PutInteger("TimerInterval", globals.TimerInterval);
  registry.PutInteger("Speed", globals.Speed);
  registry.PutString("FontName", globals.FontName);
  registry.PutInteger("FontSize", globals.FontSize);
  registry.PutInteger("FontSpacing", globals.FontSpacing);
  registry.PutInteger("FontColor", globals.FontColor);
  registry.PutString("Text", globals.Text);
  registry.PutBool("DesktopFlag", globals.DesktopFlag);
  registry.PutBool("EffectsFlag", globals.EffectsFlag);
  registry.PutBool("RandomYFlag", globals.RandomYFlag);
  registry.PutBool("ColorFadingFlag", globals.ColorFadingFlag);
  registry.PutBool("RandomColorFlag", globals.RandomColorFlag);
  registry.PutInteger("EffectCode", globals.EffectCode);
  registry.PutInteger("DateTimeMode", globals.DateTimeMode);
  if (recordVersion) registry.PutString("ExeVersion", ProgramVersion);
  registry.ClosePath();
}

}  // namespace

void SetInstalledFontsProvider(InstalledFontsProvider provider) {
  FontsProvider() =
      provider ? std::move(provider) : [] { return std::vector<std::string>{"Default"}; };
}

std::string ResolveFontName(const std::string& stored, const std::vector<std::string>& installed) {
  if (!stored.empty() && IsInstalled(stored, installed)) return stored;
  for (int i = 0; i < 7; ++i) {
    if (IsInstalled(FallbackFonts[i], installed)) return FallbackFonts[i];
  }
  return FallbackFonts[7];
}

void LoadGlobals(TGlobals& globals) {
  globals = DefaultGlobals();
  {
    TNewRegistry registry;
    if (registry.OpenPathReadOnly(SettingsKeyPath)) {
      globals.TimerInterval = registry.GetIntegerDef("TimerInterval", globals.TimerInterval);
      globals.Speed = registry.GetIntegerDef("Speed", globals.Speed);
      globals.FontName = registry.GetStringDef("FontName", "");
      globals.FontSize = registry.GetIntegerDef("FontSize", globals.FontSize);
      globals.FontSpacing = registry.GetIntegerDef("FontSpacing", globals.FontSpacing);
      globals.FontColor = registry.GetIntegerDef("FontColor", globals.FontColor);
      globals.Text = registry.GetStringDef("Text", globals.Text);
      if (StoredVersion == ProgramVersion) {
        globals.DesktopFlag = registry.GetBoolDef("DesktopFlag", globals.DesktopFlag);
        globals.EffectsFlag = registry.GetBoolDef("EffectsFlag", globals.EffectsFlag);
        globals.RandomYFlag = registry.GetBoolDef("RandomYFlag", globals.RandomYFlag);
        globals.ColorFadingFlag = registry.GetBoolDef("ColorFadingFlag", globals.ColorFadingFlag);
        globals.RandomColorFlag = registry.GetBoolDef("RandomColorFlag", globals.RandomColorFlag);
        globals.EffectCode = registry.GetIntegerDef("EffectCode", globals.EffectCode);
        globals.DateTimeMode = registry.GetIntegerDef("DateTimeMode", globals.DateTimeMode);
      }
      registry.ClosePath();
    }
  }
  // The text moves by Speed pixels a frame and the engine divides by it.
  globals.Speed = std::max(globals.Speed, 1);
  globals.FontName = ResolveFontName(globals.FontName, FontsProvider()());
  if (StoredVersion != ProgramVersion) {
    try {
      StoreRecord(globals, true);
      // The record is migrated: later loads in this start read what is saved.
      StoredVersion = ProgramVersion;
    } catch (const ERegistryError&) {
      // Loading still succeeds; the store has reported why it could not
      // write, and the next load tries the migration again.
    }
  }
}

void SaveGlobals(const TGlobals& globals) {
  StoreRecord(globals, false);
}

std::string ReadStoredVersion() {
  TNewRegistry registry;
  if (!registry.OpenPathReadOnly(SettingsKeyPath)) return std::string();
  return registry.GetStringDef("ExeVersion", "");
}
