#include "host/LongOptions.h"

#include <algorithm>
#include <cctype>
#include <functional>

#include "engine/AnimationUnit.h"

namespace {

// Lower-case letters and digits only: "Near && Far", "near-far" and "NearFar"
// name the same effect.
std::string Simplified(const std::string& text) {
  std::string result;
  for (const char c : text) {
    if (std::isalnum(static_cast<unsigned char>(c))) {
      result += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
  }
  return result;
}

std::vector<std::string> CommaList(const std::string& text) {
  std::vector<std::string> items;
  size_t start = 0;
  while (start <= text.size()) {
    const size_t end = std::min(text.find(',', start), text.size());
    items.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return items;
}

std::optional<int32_t> WholeNumber(const std::string& text, int32_t low, int32_t high) {
  if (text.empty() || text.size() > 10) return std::nullopt;
  int64_t value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  if (value < low || value > high) return std::nullopt;
  return static_cast<int32_t>(value);
}

// "#RRGGBB" to the stored form 0x00BBGGRR.
std::optional<int32_t> Colour(const std::string& text) {
  if (text.size() != 7 || text[0] != '#') return std::nullopt;
  int32_t rgb = 0;
  for (size_t i = 1; i < text.size(); ++i) {
    const char c = static_cast<char>(std::tolower(static_cast<unsigned char>(text[i])));
    const int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
    if (digit < 0) return std::nullopt;
    rgb = rgb * 16 + digit;
  }
  return ((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF);
}

// "\n" starts a new line, "\\" is a backslash; any other text stays as it is.
std::string TextLines(const std::string& text) {
  std::string result;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 1 < text.size() && (text[i + 1] == 'n' || text[i + 1] == '\\')) {
      result += text[i + 1] == 'n' ? '\r' : '\\';
      ++i;
    } else {
      result += text[i];
    }
  }
  return result;
}

std::optional<int32_t> EffectSet(const std::string& text) {
  if (Simplified(text) == "all") return -1;
  int32_t code = 0;
  for (const std::string& name : CommaList(text)) {
    const std::string wanted = Simplified(name);
    int32_t found = -1;
    for (int32_t effect = 0; effect < kEffectCount; ++effect) {
      if (Simplified(EffectNames[effect]) == wanted) found = effect;
    }
    if (found < 0) return std::nullopt;
    code |= 1 << found;
  }
  return code;
}

std::optional<int32_t> DateTimeSet(const std::string& text) {
  if (const std::optional<int32_t> number = WholeNumber(text, 0, 7)) return number;
  if (Simplified(text) == "none") return 0;
  int32_t mode = 0;
  for (const std::string& item : CommaList(text)) {
    const std::string word = Simplified(item);
    const int32_t bit = word == "date" ? 1 : word == "time" ? 2 : word == "short" ? 4 : 0;
    if (bit == 0) return std::nullopt;
    mode |= bit;
  }
  return mode;
}

// One option: its name without dashes, whether it takes a value, what the
// value must look like (for the error message), and how it is stored.
struct TOption {
  const char* Name;
  const char* Value;  // nullptr for a switch without a value
  const char* Help;
  std::function<bool(TStartOptions&, const std::string&)> Store;
};

template <typename T>
std::function<bool(TStartOptions&, const std::string&)> Into(
    std::optional<T> TSettingsOverrides::*field,
    std::function<std::optional<T>(const std::string&)> parse) {
  return [field, parse](TStartOptions& options, const std::string& value) {
    const std::optional<T> parsed = parse(value);
    if (parsed) options.Overrides.*field = parsed;
    return parsed.has_value();
  };
}

std::function<bool(TStartOptions&, const std::string&)> Flag(
    std::optional<bool> TSettingsOverrides::*field, bool on) {
  return [field, on](TStartOptions& options, const std::string&) {
    options.Overrides.*field = on;
    return true;
  };
}

std::function<std::optional<int32_t>(const std::string&)> Range(int32_t low, int32_t high) {
  return [low, high](const std::string& text) { return WholeNumber(text, low, high); };
}

const std::vector<TOption>& Options() {
  using O = TSettingsOverrides;
  static const std::vector<TOption> options = {
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
      {"interval", "MS", "milliseconds per frame, 0 to 1000 (0: as fast as possible)",
       Into<int32_t>(&O::TimerInterval, Range(0, 1000))},
      {"speed", "N", "pixels the text moves per frame, 1 to 20",
       Into<int32_t>(&O::Speed, Range(1, 20))},
      {"font", "NAME", "font family",
       Into<std::string>(&O::FontName,
                         [](const std::string& v) {
                           return v.empty() ? std::nullopt : std::optional<std::string>(v);
                         })},
      {"font-size", "POINTS", "font size, 8 to 200", Into<int32_t>(&O::FontSize, Range(8, 200))},
      {"spacing", "PIXELS", "extra space between letters, 0 to 50",
       Into<int32_t>(&O::FontSpacing, Range(0, 50))},
      {"color", "#RRGGBB", "text colour", Into<int32_t>(&O::FontColor, Colour)},
      {"text", "TEXT", "the lines to show; \\n starts a new line",
       Into<std::string>(
           &O::Text,
           [](const std::string& v) { return std::optional<std::string>(TextLines(v)); })},
      {"desktop", nullptr, "draw over the desktop", Flag(&O::DesktopFlag, true)},
      {"no-desktop", nullptr, "draw over black", Flag(&O::DesktopFlag, false)},
      {"special-effects", nullptr, "move the letters with the effects",
       Flag(&O::EffectsFlag, true)},
      {"no-special-effects", nullptr, "plain scrolling only", Flag(&O::EffectsFlag, false)},
      {"effects", "LIST", "effects to pick from, comma-separated (Wave,Zip,...), or all",
       Into<int32_t>(&O::EffectCode, EffectSet)},
      {"random-y", nullptr, "random height of each line", Flag(&O::RandomYFlag, true)},
      {"no-random-y", nullptr, "every line at the same height", Flag(&O::RandomYFlag, false)},
      {"color-fading", nullptr, "fade the colours", Flag(&O::ColorFadingFlag, true)},
      {"no-color-fading", nullptr, "keep the colours", Flag(&O::ColorFadingFlag, false)},
      {"random-color", nullptr, "a random colour for each line", Flag(&O::RandomColorFlag, true)},
      {"no-random-color", nullptr, "always the text colour", Flag(&O::RandomColorFlag, false)},
      {"date-time", "WHAT", "a date/time line: none, or date,time,short (or 0 to 7)",
       Into<int32_t>(&O::DateTimeMode, DateTimeSet)},
  };
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

bool TSettingsOverrides::Empty() const {
  return !TimerInterval && !Speed && !FontName && !FontSize && !FontSpacing && !FontColor &&
         !Text && !DesktopFlag && !EffectsFlag && !RandomYFlag && !ColorFadingFlag &&
         !RandomColorFlag && !EffectCode && !DateTimeMode;
}

void TSettingsOverrides::ApplyTo(TGlobals& g,
                                 const std::vector<std::string>& installedFonts) const {
  g.TimerInterval = TimerInterval.value_or(g.TimerInterval);
  g.Speed = Speed.value_or(g.Speed);
  if (FontName) g.FontName = ResolveFontName(*FontName, installedFonts);
  g.FontSize = FontSize.value_or(g.FontSize);
  g.FontSpacing = FontSpacing.value_or(g.FontSpacing);
  g.FontColor = FontColor.value_or(g.FontColor);
  g.Text = Text.value_or(g.Text);
  g.DesktopFlag = DesktopFlag.value_or(g.DesktopFlag);
  g.EffectsFlag = EffectsFlag.value_or(g.EffectsFlag);
  g.RandomYFlag = RandomYFlag.value_or(g.RandomYFlag);
  g.ColorFadingFlag = ColorFadingFlag.value_or(g.ColorFadingFlag);
  g.RandomColorFlag = RandomColorFlag.value_or(g.RandomColorFlag);
  g.EffectCode = EffectCode.value_or(g.EffectCode);
  g.DateTimeMode = DateTimeMode.value_or(g.DateTimeMode);
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
std::string VersionText() { return std::string("lettrance ") + LETTRANCE_VERSION + "\n"; }
