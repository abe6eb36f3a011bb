#include "settings/SettingsTable.h"

#include <algorithm>
#include <cctype>

#include "platform/registry/RegHive.h"
#include "settings/EffectNames.h"

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

std::optional<int32_t> SourceName(const std::string& text) {
  if (const std::optional<int32_t> number = WholeNumber(text, tsText, tsProgram)) return number;
  const std::string word = Simplified(text);
  if (word == "text") return tsText;
  if (word == "file") return tsFile;
  if (word == "program") return tsProgram;
  return std::nullopt;
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

// "Only Wave" for each effect, "Standard" last: it is the plain scroll.
std::vector<TSettingChoice> EffectChoices() {
  std::vector<TSettingChoice> choices = {
      {"stored", "Effects from the settings", ""},
      {"all", "All effects", "all"},
  };
  for (int32_t k = 1; k <= kEffectCount; ++k) {
    std::string caption = EffectNames[k % kEffectCount];
    const size_t escaped = caption.find("&&");
    if (escaped != std::string::npos) caption.erase(escaped, 1);
    // "Upside down" is given as "UpsideDown".
    std::string name;
    bool capital = false;
    for (const char c : caption) {
      if (c == ' ' || c == '&') {
        capital = true;
        continue;
      }
      name += capital ? static_cast<char>(std::toupper(static_cast<unsigned char>(c))) : c;
      capital = false;
    }
    choices.push_back({Simplified(name), "Only " + caption, name});
  }
  return choices;
}

std::vector<TSetting> MakeTable() {
  using G = TGlobals;
  return {
      {"TimerInterval",
       skNumber,
       &G::TimerInterval,
       25,
       nullptr,
       0,
       1000,
       10,
       100,
       false,
       "interval",
       "MS",
       "milliseconds per frame",
       " (0: as fast as possible)",
       nullptr,
       "interval",
       "Milliseconds per frame",
       "Smooth",
       "Light",
       {}},
      {"Speed",
       skNumber,
       &G::Speed,
       6,
       nullptr,
       1,
       20,
       1,
       20,
       false,
       "speed",
       "N",
       "pixels the text moves per frame",
       "",
       nullptr,
       "speed",
       "Speed",
       "Slow",
       "Fast",
       {}},
      {"FontName", skFace, &G::FontName,  0,  "",      0,      0,      0,       0,       false,
       "font",     "NAME", "font family", "", nullptr, "font", "Font", nullptr, nullptr, {}},
      {"FontSize", skNumber,   &G::FontSize, 60,          nullptr,  8,           200,
       8,          200,        false,        "font-size", "POINTS", "font size", "",
       nullptr,    "fontsize", "Font size",  "Small",     "Large",  {}},
      {"FontSpacing",
       skNumber,
       &G::FontSpacing,
       0,
       nullptr,
       0,
       50,
       0,
       50,
       false,
       "spacing",
       "PIXELS",
       "extra space between letters",
       "",
       nullptr,
       "spacing",
       "Letter spacing",
       "Tight",
       "Wide",
       {}},
      {"FontColor",
       skColor,
       &G::FontColor,
       0x00C0F0,
       nullptr,
       0,
       0,
       0,
       0,
       false,
       "color",
       "#RRGGBB",
       "text colour",
       "",
       nullptr,
       "color",
       "Text colour",
       nullptr,
       nullptr,
       {{"stored", "Text colour from the settings", ""},
        {"amber", "Amber", "#F0C000"},
        {"white", "White", "#FFFFFF"},
        {"red", "Red", "#FF0000"},
        {"green", "Green", "#00FF00"},
        {"blue", "Blue", "#0000FF"},
        {"cyan", "Cyan", "#00FFFF"},
        {"magenta", "Magenta", "#FF00FF"}}},
      {"Text",
       skLines,
       &G::Text,
       0,
       nullptr,
       0,
       0,
       0,
       0,
       false,
       "text",
       "TEXT",
       "the lines to show; \\n starts a new line",
       "",
       nullptr,
       "text",
       "Text (\\n starts a new line)",
       nullptr,
       nullptr,
       {},
       tsText},
      {"DesktopFlag",
       skFlag,
       &G::DesktopFlag,
       0,
       nullptr,
       0,
       1,
       0,
       1,
       true,
       "desktop",
       nullptr,
       "draw over the desktop",
       "",
       "draw over black",
       "desktop",
       "Draw over the desktop",
       nullptr,
       nullptr,
       {}},
      {"EffectsFlag",
       skFlag,
       &G::EffectsFlag,
       1,
       nullptr,
       0,
       1,
       0,
       1,
       true,
       "special-effects",
       nullptr,
       "move the letters with the effects",
       "",
       "plain scrolling only",
       "specialeffects",
       "Special effects",
       nullptr,
       nullptr,
       {}},
      {"RandomYFlag",
       skFlag,
       &G::RandomYFlag,
       1,
       nullptr,
       0,
       1,
       0,
       1,
       true,
       "random-y",
       nullptr,
       "random height of each line",
       "",
       "every line at the same height",
       "randomy",
       "Random height",
       nullptr,
       nullptr,
       {}},
      {"ColorFadingFlag",
       skFlag,
       &G::ColorFadingFlag,
       1,
       nullptr,
       0,
       1,
       0,
       1,
       true,
       "color-fading",
       nullptr,
       "fade the colours",
       "",
       "keep the colours",
       "colorfading",
       "Colour fading",
       nullptr,
       nullptr,
       {}},
      {"RandomColorFlag",
       skFlag,
       &G::RandomColorFlag,
       1,
       nullptr,
       0,
       1,
       0,
       1,
       true,
       "random-color",
       nullptr,
       "a random colour for each line",
       "",
       "always the text colour",
       "randomcolor",
       "Random colour",
       nullptr,
       nullptr,
       {}},
      {"EffectCode",
       skEffects,
       &G::EffectCode,
       -2,
       nullptr,
       0,
       0,
       0,
       0,
       true,
       "effects",
       "LIST",
       "effects to pick from, comma-separated (Wave,Zip,...), or all",
       "",
       nullptr,
       "effects",
       "Effects",
       nullptr,
       nullptr,
       EffectChoices()},
      {"DateTimeMode",
       skDateTime,
       &G::DateTimeMode,
       0,
       nullptr,
       0,
       7,
       0,
       7,
       true,
       "date-time",
       "WHAT",
       "a date/time line: none, or date,time,short (or 0 to 7)",
       "",
       nullptr,
       "datetime",
       "Date and time",
       nullptr,
       nullptr,
       {{"stored", "Date line from the settings", ""},
        {"none", "No date or time", "none"},
        {"date", "Date", "date"},
        {"time", "Time", "time"},
        {"datetime", "Date and time", "date,time"},
        {"short", "Short date and time", "date,time,short"}}},
      {"TextSource",
       skSource,
       &G::TextSource,
       tsText,
       nullptr,
       tsText,
       tsProgram,
       0,
       0,
       false,
       "text-source",
       "WHERE",
       "where the lines come from: text, file or program",
       "",
       nullptr,
       "textsource",
       "Text source",
       nullptr,
       nullptr,
       {{"stored", "Text source from the settings", ""},
        {"text", "The text above", "text"},
        {"file", "The text file", "file"},
        {"program", "What the text program prints", "program"}}},
      {"TextFile",
       skFile,
       &G::TextFile,
       0,
       "",
       0,
       0,
       0,
       0,
       false,
       "text-file",
       "PATH",
       "show the lines of this file, read again each cycle",
       "",
       nullptr,
       "textfile",
       "Text file",
       nullptr,
       nullptr,
       {},
       tsFile},
      {"TextProgram",
       skCommand,
       &G::TextProgram,
       0,
       "",
       0,
       0,
       0,
       0,
       false,
       "text-program",
       "COMMAND",
       "show what this shell command prints, run again each cycle",
       "",
       nullptr,
       "textprogram",
       "Text program",
       nullptr,
       nullptr,
       {},
       tsProgram},
  };
}

}  // namespace

const std::vector<TSetting>& SettingsTable() {
  static const std::vector<TSetting> table = MakeTable();
  return table;
}

const TSetting* FindSetting(const std::string& name) {
  const std::string folded = platform::FoldRegName(name);
  for (const TSetting& setting : SettingsTable()) {
    if (platform::FoldRegName(setting.Name) == folded) return &setting;
  }
  return nullptr;
}

std::string SettingHelp(const TSetting& setting) {
  std::string help = setting.Help;
  if (setting.Kind == skNumber) {
    help += ", ";
    help += std::to_string(setting.Min);
    help += " to ";
    help += std::to_string(setting.Max);
  }
  return help + setting.HelpNote;
}

TSettingValue GetSetting(const TGlobals& globals, const TSetting& setting) {
  return std::visit(
      [&](auto field) -> TSettingValue {
        const auto& value = globals.*field;
        if constexpr (std::is_same_v<std::decay_t<decltype(value)>, std::string>) {
          return value;
        } else {
          return static_cast<int32_t>(value);
        }
      },
      setting.Field);
}

void SetSetting(TGlobals& globals, const TSetting& setting, const TSettingValue& value) {
  std::visit(
      [&](auto field) {
        auto& target = globals.*field;
        using T = std::decay_t<decltype(target)>;
        if constexpr (std::is_same_v<T, std::string>) {
          if (const auto* text = std::get_if<std::string>(&value)) target = *text;
        } else if (const auto* number = std::get_if<int32_t>(&value)) {
          target = static_cast<T>(*number);
        }
      },
      setting.Field);
}

std::optional<TSettingValue> ParseSettingOption(const TSetting& setting, const std::string& text) {
  const auto number = [](std::optional<int32_t> n) {
    return n ? std::optional<TSettingValue>(*n) : std::nullopt;
  };
  switch (setting.Kind) {
    case skNumber:
      return number(WholeNumber(text, setting.Min, setting.Max));
    case skFace:
      return text.empty() ? std::nullopt : std::optional<TSettingValue>(text);
    case skColor:
      return number(Colour(text));
    case skLines:
      return TextLines(text);
    case skFlag:
      return std::nullopt;  // flags take no value
    case skEffects:
      return number(EffectSet(text));
    case skDateTime:
      return number(DateTimeSet(text));
    case skSource:
      return number(SourceName(text));
    case skFile:
    case skCommand:
      return text.empty() ? std::nullopt : std::optional<TSettingValue>(text);
  }
  return std::nullopt;
}
