#pragma once
// The whole command line: the start switch of the classic protocol (/s, /p id,
// /c, /a id) plus the long options that the Linux screen-saver hosts and users
// pass: the host window (--window-id, --root), --help, --version, and one
// option per setting, which changes that setting for this run only.

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "host/CommandLine.h"
#include "settings/GlobalsUnit.h"
#include "settings/SettingsTable.h"

// Settings given on the command line, in the order given. They are laid
// over the loaded settings of this run and never saved.
struct TSettingsOverrides {
  std::vector<std::pair<const TSetting*, TSettingValue>> Values;

  bool Empty() const { return Values.empty(); }
  // A font that is not installed falls back as a stored one would.
  void ApplyTo(TGlobals& globals, const std::vector<std::string>& installedFonts) const;
};

struct TStartOptions {
  TCommandLine Mode;                                 // from the arguments that are not options
  bool ModeGiven = false;                            // a start switch was on the command line
  std::optional<platform::WindowId> WindowIdOption;  // --window-id
  bool Root = false;                                 // --root
  bool Help = false;
  bool Version = false;  // --version
  TSettingsOverrides Overrides;
  // Not empty when the command line cannot be acted on (exit code 2).
  std::string Error;
};

// `arguments` are those after the program's name. Options are written with
// two dashes or, as X programs do, one ("-root"); a value follows as the next
// argument or after '='. The first argument that is not an option is the start
// switch, the next one its window id.
TStartOptions ParseStartOptions(const std::vector<std::string>& arguments);

// What --help prints.
std::string HelpText();

// What --version prints: "lettrance" and the version, one line.
std::string VersionText();
