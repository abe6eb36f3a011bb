// Loading and saving the settings record, with the version gate and the
// font fallback.
#include "settings/GlobalsUnit.h"

#include <algorithm>

#include "platform/registry/RegHive.h"
#include "settings/SettingsTable.h"
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
  for (const TSetting& setting : SettingsTable()) {
    const TSettingValue value = GetSetting(globals, setting);
    if (const auto* text = std::get_if<std::string>(&value)) {
      registry.PutString(setting.Name, *text);
    } else if (setting.Kind == skFlag) {
      registry.PutBool(setting.Name, std::get<int32_t>(value) != 0);
    } else {
      registry.PutInteger(setting.Name, std::get<int32_t>(value));
    }
  }
  if (recordVersion) registry.PutString("ExeVersion", ProgramVersion);
  registry.ClosePath();
}

// The stored value of one setting, or what the record holds when there is
// none (or it cannot be read).
void ReadSetting(TNewRegistry& registry, const TSetting& setting, TGlobals& globals) {
  const TSettingValue current = GetSetting(globals, setting);
  if (const auto* text = std::get_if<std::string>(&current)) {
    SetSetting(globals, setting, registry.GetStringDef(setting.Name, *text));
  } else if (setting.Kind == skFlag) {
    SetSetting(globals, setting,
               static_cast<int32_t>(registry.GetBoolDef(setting.Name, std::get<int32_t>(current))));
  } else {
    SetSetting(globals, setting, registry.GetIntegerDef(setting.Name, std::get<int32_t>(current)));
  }
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

void LoadGlobals(TGlobals& globals, TSettingsWrites writes) {
  globals = DefaultGlobals();
  // Another version's record: its gated values meant something else then.
  const bool thisVersion = writes == swNever || StoredVersion == ProgramVersion;
  {
    TNewRegistry registry;
    if (registry.OpenPathReadOnly(SettingsKeyPath)) {
      for (const TSetting& setting : SettingsTable()) {
        if (setting.VersionGated && !thisVersion) continue;
        ReadSetting(registry, setting, globals);
      }
      registry.ClosePath();
    }
  }
  // The text moves by Speed pixels a frame and the engine divides by it.
  globals.Speed = std::max(globals.Speed, 1);
  globals.FontName = ResolveFontName(globals.FontName, FontsProvider()());
  if (!thisVersion) {
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
