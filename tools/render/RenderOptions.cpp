#include "tools/render/RenderOptions.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <functional>
#include <map>

#include "engine/AnimationUnit.h"
#include "settings/SettingsTable.h"

namespace {

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

// "Near && Far" is a caption with an escaped ampersand; accept it either way.
// Copied letter by letter: GCC 12 at -O3 reports a false -Wrestrict for an
// in-place replace here.
std::string NormalName(const std::string& text) {
  std::string name;
  for (const char c : Lower(text)) {
    if (c == '&' && !name.empty() && name.back() == '&') continue;
    name.push_back(c);
  }
  return name;
}

template <typename T>
std::optional<T> ParseNumber(const std::string& text) {
  T value{};
  const char* end = text.data() + text.size();
  const auto [rest, error] = std::from_chars(text.data(), end, value);
  if (text.empty() || error != std::errc() || rest != end) return std::nullopt;
  return value;
}

std::string Quoted(const std::string& text) {
  return "'" + text + "'";
}

// The ranges and defaults are the settings' own.
const TSetting& Setting(const char* name) {
  return *FindSetting(name);
}

}  // namespace

std::optional<int32_t> EffectFromName(const std::string& text) {
  if (const auto index = ParseNumber<int32_t>(text)) {
    if (*index >= 0 && *index < kEffectCount) return index;
    return std::nullopt;
  }
  const std::string wanted = NormalName(text);
  for (int32_t e = 0; e < kEffectCount; ++e) {
    if (NormalName(EffectNames[e]) == wanted) return e;
  }
  return std::nullopt;
}

ParsedOptions ParseRenderOptions(const std::vector<std::string>& args) {
  ParsedOptions parsed;
  RenderOptions& o = parsed.Options;
  bool framesGiven = false;

  // A whole number within [low, high], or an error naming the option.
  const auto number = [&](const std::string& option, const std::string& value, int32_t low,
                          int32_t high, int32_t& target) {
    const auto n = ParseNumber<int32_t>(value);
    if (!n || *n < low || *n > high) {
      parsed.Error = option + " expects a whole number from " + std::to_string(low) + " to " +
                     std::to_string(high) + " (got " + Quoted(value) + ")";
      return;
    }
    target = *n;
  };

  using Handler = std::function<void(const std::string& option, const std::string& value)>;
  const std::map<std::string, Handler> withValue = {
      {"--size",
       [&](const std::string& option, const std::string& value) {
         const size_t x = Lower(value).find('x');
         const auto w =
             x == std::string::npos ? std::nullopt : ParseNumber<int32_t>(value.substr(0, x));
         const auto h =
             x == std::string::npos ? std::nullopt : ParseNumber<int32_t>(value.substr(x + 1));
         if (!w || !h || *w < 16 || *h < 16 || *w > 8192 || *h > 8192) {
           parsed.Error =
               option +
               " expects WIDTHxHEIGHT with each from 16 to 8192, for example 1280x720 (got " +
               Quoted(value) + ")";
           return;
         }
         o.Width = *w;
         o.Height = *h;
       }},
      {"--frames",
       [&](const std::string& option, const std::string& value) {
         number(option, value, 1, 1000000, o.Frames);
         framesGiven = true;
       }},
      {"--every",
       [&](const std::string& option, const std::string& value) {
         number(option, value, 1, 1000000, o.Every);
         framesGiven = true;
       }},
      {"--effect",
       [&](const std::string& option, const std::string& value) {
         const auto effect = EffectFromName(value);
         if (!effect) {
           parsed.Error = option +
                          " expects an effect name such as 'Wave' or an index from 0 to 19 (got " +
                          Quoted(value) + ")";
           return;
         }
         o.Effects.push_back(*effect);
       }},
      {"--text", [&](const std::string&, const std::string& value) { o.Texts.push_back(value); }},
      {"--text-file",
       [&](const std::string& option, const std::string& value) {
         if (value.empty()) {
           parsed.Error = option + " expects a file";
           return;
         }
         o.TextFile = value;
       }},
      {"--text-program",
       [&](const std::string& option, const std::string& value) {
         if (value.empty()) {
           parsed.Error = option + " expects a shell command";
           return;
         }
         o.TextProgram = value;
       }},
      {"--font",
       [&](const std::string& option, const std::string& value) {
         if (value.empty()) {
           parsed.Error = option + " expects a font face name";
           return;
         }
         o.Font = value;
       }},
      {"--font-size",
       [&](const std::string& option, const std::string& value) {
         int32_t size = 0;
         number(option, value, Setting("FontSize").Min, Setting("FontSize").Max, size);
         o.FontSize = size;
       }},
      {"--speed",
       [&](const std::string& option, const std::string& value) {
         int32_t speed = 0;
         number(option, value, Setting("Speed").Min, Setting("Speed").Max, speed);
         o.Speed = speed;
       }},
      {"--desktop",
       [&](const std::string& option, const std::string& value) {
         if (value.empty()) {
           parsed.Error = option + " expects a picture file";
           return;
         }
         o.Desktop = value;
       }},
      {"--seed",
       [&](const std::string& option, const std::string& value) {
         const auto seed = ParseNumber<uint64_t>(value);
         if (!seed) {
           parsed.Error = option + " expects a whole number from 0 to 18446744073709551615 (got " +
                          Quoted(value) + ")";
           return;
         }
         o.Seed = *seed;
       }},
      {"--out",
       [&](const std::string& option, const std::string& value) {
         if (value.empty()) {
           parsed.Error = option + " expects a folder";
           return;
         }
         o.OutDir = value;
         framesGiven = true;
       }},
      {"--sheet",
       [&](const std::string& option, const std::string& value) {
         if (value.empty()) {
           parsed.Error = option + " expects a file name";
           return;
         }
         o.Sheet = value;
       }},
  };

  for (size_t k = 0; k < args.size() && parsed.Error.empty(); ++k) {
    std::string option = args[k];
    std::optional<std::string> value;
    if (const size_t equals = option.find('=');
        option.rfind("--", 0) == 0 && equals != std::string::npos) {
      value = option.substr(equals + 1);
      option = option.substr(0, equals);
    }
    if (option == "--help" || option == "-h") {
      o.Help = true;
      continue;
    }
    if (option == "--settings") {
      if (value) parsed.Error = "--settings takes no value";
      o.UseSettings = true;
      continue;
    }
    const auto handler = withValue.find(option);
    if (handler == withValue.end()) {
      parsed.Error = "unknown option " + Quoted(args[k]) + " (see --help)";
      break;
    }
    if (!value) {
      if (k + 1 >= args.size()) {
        parsed.Error = option + " expects a value";
        break;
      }
      value = args[++k];
    }
    handler->second(option, *value);
  }
  if (parsed.Error.empty() &&
      (o.TextFile.has_value() + o.TextProgram.has_value() + !o.Texts.empty()) > 1) {
    parsed.Error = "--text, --text-file and --text-program each name the text: give one of them";
  }
  if (parsed.Error.empty() && o.Sheet && (framesGiven || !o.Effects.empty())) {
    parsed.Error =
        "--sheet shows every effect once and cannot be combined with --frames, --every, --out or "
        "--effect";
  }
  return parsed;
}

std::string RenderHelpText() {
  const TSetting& size = Setting("FontSize");
  const TSetting& speed = Setting("Speed");
  return std::string(R"(Usage: lettrance-render [options]

Renders frames of the Lettrance text animation to PNG files without a display.
The settings start from their defaults; the stored settings are neither read
nor written unless --settings is given.

Options:
  --size WxH           frame size in pixels, also the screen size (default 1280x720)
  --frames N           number of frames to render (default 100)
  --every K            write every K-th frame (default 1: every frame)
  --effect NAME|INDEX  enable this effect (repeatable; by default every effect
                       but "Standard"); names as in the setup dialog, e.g. Wave,
                       "Near && Far", or indices 0 to 19
  --text TEXT          a line of text (repeatable: one line each)
  --text-file PATH     the lines of this file, read again each cycle
  --text-program CMD   the lines this shell command prints, run again each
                       cycle; each text is waited for (up to 10 seconds)
  --font FACE          font face (default: the first installed fallback face)
  --font-size N        )") +
         SettingHelp(size) + " (default " + std::to_string(size.Default) + R"()
  --speed N            )" +
         SettingHelp(speed) + " (default " + std::to_string(speed.Default) + R"()
  --desktop IMAGE      draw over this picture (scaled to the frame) with a shadow
  --seed N             seed of the random choices, for repeatable output
  --out DIR            folder for the frames, made if missing (default: the
                       current folder); files are named frame-00001.png, ...
  --sheet FILE         instead of frames, write one contact sheet with a
                       labelled frame of each of the twenty effects, the
                       one in which the effect shows best
  --settings           start from the stored settings (read only)
  --help               show this text

Exit codes:
  0  success
  1  unknown option or bad value
  2  the --desktop picture cannot be read
  3  a folder or file cannot be written
)";
}
