#pragma once
// The settings record: every user setting of the screen saver, its defaults,
// and its storage in the per-user registry key.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace platform {
class RegistryStore;
}

struct TGlobals {
  int32_t TimerInterval = 0;
  int32_t Speed = 0;
  std::string FontName;
  int32_t FontSize = 0;
  int32_t FontSpacing = 0;
  int32_t FontColor = 0;  // 0x00BBGGRR
  std::string Text;       // lines separated by line breaks
  bool DesktopFlag = false;
  bool EffectsFlag = false;
  bool RandomYFlag = false;
  bool ColorFadingFlag = false;
  bool RandomColorFlag = false;
  int32_t EffectCode = 0;    // bit n enables effect n
  int32_t DateTimeMode = 0;  // bit 0 date, bit 1 time, bit 2 short forms
  int32_t TextSource = 0;    // where the lines come from: TTextSource
  std::string TextFile;      // the lines of this file, read again each cycle
  std::string TextProgram;   // what this shell command prints, run each cycle
};

// Where the text lines come from. Unknown stored values mean the stored text.
enum TTextSource : int32_t { tsText = 0, tsFile = 1, tsProgram = 2 };

// Version text the run counter found in the registry at this start.
extern std::string StoredVersion;

extern const char* const ProgramVersion;   // "1.06 - 17 Jan 2001"
extern const char* const SettingsKeyPath;  // "\Software\Vandor\ScreenSaver\Lettrance"
extern const char* const FallbackFonts[8];

// Default values.
std::string DefaultText();
TGlobals DefaultGlobals();  // FontName empty, before the font fallback

// The installed screen fonts (plus the pseudo-face "Default"). The program
// installs Qt's list; until then only "Default" is known.
using InstalledFontsProvider = std::function<std::vector<std::string>()>;
void SetInstalledFontsProvider(InstalledFontsProvider provider);

// Face to use for a stored face name: the stored one when installed (case
// ignored), else the first installed fallback, else "Arial".
std::string ResolveFontName(const std::string& stored, const std::vector<std::string>& installed);

// Whether loading may write: a start that counts (the saver, the setup
// dialog) brings the settings of another version over to this one and
// records it; previews, hosted runs and tools read what is stored, all of
// it, and never write.
enum TSettingsWrites { swMigrate, swNever };

// On the first load of a start with another stored version (swMigrate), the
// record is written back together with this version's name.
void LoadGlobals(TGlobals& globals, TSettingsWrites writes = swMigrate);
// Raises ERegistryError when the settings could not be stored: the key cannot
// be opened for writing, or the store refused the record.
void SaveGlobals(const TGlobals& globals);

// Preview starts never count a start: they learn the stored version this way.
std::string ReadStoredVersion();
