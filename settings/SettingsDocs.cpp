#include "settings/SettingsDocs.h"

#include <cctype>

#include "settings/SettingsTable.h"

namespace {

std::string Xml(const std::string& text) {
  std::string out;
  for (const char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

// roff: dashes that must stay dashes, backslashes shown as such.
std::string Roff(const std::string& text) {
  std::string out;
  for (const char c : text) {
    if (c == '-') {
      out += "\\-";
    } else if (c == '\\') {
      out += "\\e";
    } else {
      out += c;
    }
  }
  return out;
}

std::string Sentence(std::string text) {
  if (!text.empty()) text[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
  return text + ".";
}

// "POINTS" reads "points"; a pattern such as "#RRGGBB" stays as it is.
std::string ValueWord(std::string text) {
  if (text.find('#') != std::string::npos) return text;
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

std::string Slider(const TSetting& s) {
  return std::string("    <number id=\"") + s.XmlId + "\" type=\"slider\" arg=\"--" + s.Option +
         " %\"\n            _label=\"" + Xml(s.Label) + "\" _low-label=\"" + Xml(s.LowLabel) +
         "\" _high-label=\"" + Xml(s.HighLabel) + "\"\n            low=\"" +
         std::to_string(s.SliderMin) + "\" high=\"" + std::to_string(s.SliderMax) +
         "\" default=\"" + std::to_string(s.Default) + "\"/>\n";
}

std::string TextField(const TSetting& s, const char* element = "string") {
  return std::string("    <") + element + " id=\"" + s.XmlId + "\" _label=\"" + Xml(s.Label) +
         "\" arg=\"--" + s.Option + " %\"/>\n";
}

// A check box passes only what differs from the setting's default, so the
// stored settings decide whatever the user leaves alone.
std::string CheckBox(const TSetting& s) {
  const std::string argument = s.Default != 0 ? std::string("arg-unset=\"--no-") + s.Option + "\""
                                              : std::string("arg-set=\"--") + s.Option + "\"";
  return std::string("    <boolean id=\"") + s.XmlId + "\" _label=\"" + Xml(s.Label) + "\" " +
         argument + "/>\n";
}

std::string Menu(const TSetting& s) {
  std::string menu = std::string("    <select id=\"") + s.XmlId + "\">\n";
  for (const TSettingChoice& choice : s.Choices) {
    menu += "     <option id=\"";
    menu += Xml(choice.Id) + "\" _label=\"" + Xml(choice.Label) + "\"";
    if (!choice.Argument.empty()) {
      menu += std::string(" arg-set=\"--") + s.Option + " " + Xml(choice.Argument) + "\"";
    }
    menu += "/>\n";
  }
  return menu + "    </select>\n";
}

}  // namespace

std::string OptionsFileControls() {
  std::string left, right;
  for (const TSetting& s : SettingsTable()) {
    switch (s.Kind) {
      case skNumber:
        left += Slider(s) + "\n";
        break;
      case skFace:
      case skLines:
      case skCommand:
        left += TextField(s);
        break;
      case skFile:
        left += TextField(s, "file");
        break;
      case skFlag:
        right += CheckBox(s);
        break;
      case skColor:
      case skEffects:
      case skDateTime:
      case skSource:
        right += "\n";
        right += Menu(s);
        break;
    }
  }
  return std::string("  <hgroup>\n   <vgroup>\n") + left + "   </vgroup>\n   <vgroup>\n" + right +
         "   </vgroup>\n  </hgroup>\n";
}

std::string ManualPageOptions() {
  std::string page;
  for (const TSetting& s : SettingsTable()) {
    page += ".TP\n";
    if (s.Kind == skFlag) {
      page += ".BR ";
      page += Roff(std::string("--") + s.Option) + " \", \" " +
              Roff(std::string("--no-") + s.Option) + "\n" +
              Sentence(std::string(s.Help) + ", or " + s.OffHelp) + "\n";
    } else {
      page += ".BI ";
      page += Roff(std::string("--") + s.Option) + " \" " + ValueWord(s.Value) + "\"\n" +
              Roff(Sentence(SettingHelp(s))) + "\n";
    }
  }
  return page;
}

std::string ReplaceMarker(std::string text, const std::string& marker,
                          const std::string& replacement) {
  for (size_t at = text.find(marker); at != std::string::npos;
       at = text.find(marker, at + replacement.size())) {
    text.replace(at, marker.size(), replacement);
  }
  return text;
}
