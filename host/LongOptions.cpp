#include "host/LongOptions.h"

#include <algorithm>
#include <cctype>
#include <functional>

namespace {

// One option: its name without dashes, whether it takes a value, what the
// value must look like (for the error message), and how it is stored.
struct TOption {
  std::string Name;
  const char* Value;  // nullptr for a switch without a value
  std::string Help;
  std::function<bool(TStartOptions&, const std::string&)> Store;
};

// The options of the settings, from the table: flags as a pair.
void AddSettingOptions(std::vector<TOption>& options) {
  for (const TSetting& setting : SettingsTable()) {
    const TSetting* s = &setting;
    if (setting.Kind == skFlag) {
      options.push_back(
          {setting.Option, nullptr, setting.Help, [s](TStartOptions& o, const std::string&) {
             o.Overrides.Values.emplace_back(s, 1);
             return true;
           }});
      options.push_back({std::string("no-") + setting.Option, nullptr, setting.OffHelp,
                         [s](TStartOptions& o, const std::string&) {
                           o.Overrides.Values.emplace_back(s, 0);
                           return true;
                         }});
      continue;
    }
    const TSetting* source = setting.SelectsSource >= 0 ? FindSetting("TextSource") : nullptr;
    options.push_back({setting.Option, setting.Value, SettingHelp(setting),
                       [s, source](TStartOptions& o, const std::string& v) {
                         const std::optional<TSettingValue> value = ParseSettingOption(*s, v);
                         if (!value) return false;
                         o.Overrides.Values.emplace_back(s, *value);
                         if (source != nullptr)
                           o.Overrides.Values.emplace_back(source, s->SelectsSource);
                         return true;
                       }});
  }
}

const std::vector<TOption>& Options() {
  static const std::vector<TOption> options = [] {
    std::vector<TOption> list = {
        {"window-id", "ID", "draw into the X11 window ID (decimal or 0x... hexadecimal)",
         [](TStartOptions& o, const std::string& v) {
           o.WindowIdOption = ParseWindowId(v);
           return o.WindowIdOption.has_value();
         }},
        {"root", nullptr, "draw into $XSCREENSAVER_WINDOW, or the root window without it",
         [](TStartOptions& o, const std::string&) { return o.Root = true; }},
        {"help", nullptr, "print this help and end",
         [](TStartOptions& o, const std::string&) { return o.Help = true; }},
        {"version", nullptr, "print the version and end",
         [](TStartOptions& o, const std::string&) { return o.Version = true; }},
    };
    AddSettingOptions(list);
    return list;
  }();
  return options;
}

// The option an argument names, with the value written after '=' if any.
const TOption* FindOption(const std::string& argument, std::optional<std::string>& inlineValue) {
  if (argument.size() < 2 || argument[0] != '-') return nullptr;
  std::string name = argument.substr(argument[1] == '-' ? 2 : 1);
  const size_t equals = name.find('=');
  if (equals != std::string::npos) {
    inlineValue = name.substr(equals + 1);
    name.erase(equals);
  }
  for (const TOption& option : Options()) {
    if (name == option.Name) return &option;
  }
  return nullptr;
}

}  // namespace

void TSettingsOverrides::ApplyTo(TGlobals& globals,
                                 const std::vector<std::string>& installedFonts) const {
  for (const auto& [setting, value] : Values) {
    if (setting->Kind == skFace) {
      SetSetting(globals, *setting, ResolveFontName(std::get<std::string>(value), installedFonts));
    } else {
      SetSetting(globals, *setting, value);
    }
  }
}

TStartOptions ParseStartOptions(const std::vector<std::string>& arguments) {
  TStartOptions result;
  std::vector<std::string> positional;
  for (size_t i = 0; i < arguments.size() && result.Error.empty(); ++i) {
    const std::string& argument = arguments[i];
    std::optional<std::string> value;
    const TOption* option = FindOption(argument, value);
    if (option == nullptr) {
      // "--" always starts an option; one dash or a slash may be a start switch.
      if (argument.rfind("--", 0) == 0) {
        result.Error = "unknown option \"" + argument + "\" (lettrance --help lists them)";
      } else {
        positional.push_back(argument);
      }
      continue;
    }
    const std::string shown = argument.substr(0, argument.find('='));
    if (option->Value == nullptr && value) {
      result.Error = "\"" + shown + "\" takes no value";
      continue;
    }
    if (option->Value != nullptr && !value) {
      if (i + 1 >= arguments.size()) {
        result.Error = "\"" + shown + "\" needs a value: " + option->Value;
        continue;
      }
      value = arguments[++i];
    }
    if (!option->Store(result, value.value_or(std::string()))) {
      result.Error = "\"" + shown + "\" needs " + option->Value + " (" + option->Help +
                     "), not \"" + *value + "\"";
    }
  }
  if (!result.Error.empty()) return result;
  result.ModeGiven = !positional.empty();
  result.Mode = ParseCommandLine(positional);
  result.Error = result.Mode.Error;
  return result;
}

std::string HelpText() {
  std::string text =
      "Usage: lettrance [/s | /p ID | /c | /a ID] [OPTION...]\n"
      "A screen saver that moves lines of text across the screen letter by letter.\n"
      "\n"
      "  /s            run full screen until a key, a click or a mouse move\n"
      "  /p ID         live preview inside the X11 window ID\n"
      "  /c            the settings (also without any argument)\n"
      "  /a ID         change the screen-saver password (nothing to do on Linux)\n"
      "\n"
      "Inside a screen-saver host (XScreenSaver, xfce4-screensaver, MATE), the\n"
      "window named by $XSCREENSAVER_WINDOW is drawn into.\n"
      "\n"
      "Options (settings given here apply to this run only and are not saved):\n";
  for (const TOption& option : Options()) {
    std::string left = std::string("  --") + option.Name;
    if (option.Value != nullptr) left += std::string(" ") + option.Value;
    left.resize(std::max<size_t>(left.size() + 1, 30), ' ');
    text += left + option.Help + "\n";
  }
  return text;
}

// The build system passes the project's version, the one the package and the
// manual page carry.
std::string VersionText() {
  return std::string("lettrance ") + LETTRANCE_VERSION + "\n";
}
