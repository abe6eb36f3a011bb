#pragma once
// The one list of the settings: for each of them its stored name and type,
// default, range, command-line option, help line and the label that the
// hosts' options file shows. Loading and storing, the command-line options,
// the setup dialog's ranges, the options file and the manual page all read
// it, so a setting is added here and nowhere else.

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "settings/GlobalsUnit.h"

enum TSettingKind {
  skNumber,    // a whole number within [Min, Max]
  skFace,      // a font face name
  skColor,     // 0x00BBGGRR, written #RRGGBB on the command line
  skLines,     // text lines separated by line breaks; "\n" on the command line
  skFlag,      // on or off: --option and --no-option
  skEffects,   // the effects' bits, by name on the command line
  skDateTime,  // the date/time line's bits: date, time, short
  skSource,    // where the text comes from: text, file or program
  skFile,      // a file's path
  skCommand,   // a shell command
};

// A ready-made value that the options file offers in a menu.
struct TSettingChoice {
  std::string Id;
  std::string Label;
  std::string Argument;  // the option's value; empty: the option is not given
};

using TSettingField = std::variant<int32_t TGlobals::*, bool TGlobals::*, std::string TGlobals::*>;

struct TSetting {
  const char* Name;  // the stored value's name
  TSettingKind Kind;
  TSettingField Field;
  int32_t Default;               // numbers, colours, bits; flags 0 or 1
  const char* DefaultString;     // faces and lines
  int32_t Min, Max;              // what the command line accepts (numbers)
  int32_t SliderMin, SliderMax;  // what the setup dialog and the options file offer
  // Read only from settings stored by this version: older versions stored
  // them with another meaning.
  bool VersionGated;
  const char* Option;    // the long option; flags also take "no-" before it
  const char* Value;     // what its value looks like in the help
  const char* Help;      // the help line; numbers get their range after it
  const char* HelpNote;  // said after the range
  const char* OffHelp;   // flags: the help line of "no-" + Option
  const char* XmlId;     // the options file's id
  const char* Label;     // the options file's label
  const char* LowLabel;  // sliders' ends
  const char* HighLabel;
  std::vector<TSettingChoice> Choices;  // the options file's menu, if any
  // Giving this option also makes the text come from there (a TTextSource),
  // so that "--text-program fortune" alone shows what fortune says.
  int32_t SelectsSource = -1;
};

// All of them, in the order they are stored.
const std::vector<TSetting>& SettingsTable();
// The setting of a stored name (case ignored), or nullptr.
const TSetting* FindSetting(const std::string& name);

// The help line with its range: "pixels the text moves per frame, 1 to 20".
std::string SettingHelp(const TSetting& setting);

// A setting's value in a record, as a number (flags 0 or 1) or a string.
using TSettingValue = std::variant<int32_t, std::string>;
TSettingValue GetSetting(const TGlobals& globals, const TSetting& setting);
void SetSetting(TGlobals& globals, const TSetting& setting, const TSettingValue& value);

// The value a command-line argument gives a setting, or nullopt when it is
// not one (out of range, not a number, an unknown effect, ...). Flags take no
// value: `on` says which of their two options was given.
std::optional<TSettingValue> ParseSettingOption(const TSetting& setting, const std::string& text);
