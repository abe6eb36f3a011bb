#include "settings/DesktopEntryText.h"

#include <cstdint>
#include <string_view>

namespace {

// Characters that force an Exec argument into quotes.
constexpr std::string_view kReservedInExec = " \t\n\"'\\><~|&;$*?#()`";
// Characters that must be escaped inside the quotes.
constexpr std::string_view kEscapedInQuotes = "\"`$\\";

bool IsValidUtf8(std::string_view text) {
  size_t i = 0;
  while (i < text.size()) {
    const auto lead = static_cast<unsigned char>(text[i]);
    size_t length = 0;
    uint32_t codePoint = 0;
    if (lead < 0x80) {
      ++i;
      continue;
    } else if ((lead & 0xE0) == 0xC0) {
      length = 2;
      codePoint = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
      length = 3;
      codePoint = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
      length = 4;
      codePoint = lead & 0x07;
    } else {
      return false;
    }
    if (i + length > text.size()) return false;
    for (size_t k = 1; k < length; ++k) {
      const auto next = static_cast<unsigned char>(text[i + k]);
      if ((next & 0xC0) != 0x80) return false;
      codePoint = (codePoint << 6) | (next & 0x3F);
    }
    const uint32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (codePoint < smallest[length] || codePoint > 0x10FFFF ||
        (codePoint >= 0xD800 && codePoint <= 0xDFFF)) {
      return false;  // overlong form, beyond Unicode, or a surrogate
    }
    i += length;
  }
  return true;
}

bool HasUnwritableControl(std::string_view text) {
  for (const char c : text) {
    const auto u = static_cast<unsigned char>(c);
    if ((u < 0x20 && c != '\n' && c != '\t' && c != '\r') || u == 0x7F) return true;
  }
  return false;
}

bool Writable(std::string_view text) {
  return IsValidUtf8(text) && !HasUnwritableControl(text);
}

std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return std::string();
  return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

std::string QuoteExecArgument(const std::string& argument) {
  const bool quoted =
      argument.empty() || argument.find_first_of(kReservedInExec) != std::string::npos;
  std::string result;
  if (quoted) result += '"';
  for (const char c : argument) {
    if (c == '%') {
      result += "%%";
    } else {
      if (quoted && kEscapedInQuotes.find(c) != std::string_view::npos) result += '\\';
      result += c;
    }
  }
  if (quoted) result += '"';
  return result;
}

std::string EscapeEntryValue(const std::string& value) {
  std::string result;
  for (size_t i = 0; i < value.size(); ++i) {
    const char c = value[i];
    switch (c) {
      case '\\':
        result += "\\\\";
        break;
      case '\n':
        result += "\\n";
        break;
      case '\t':
        result += "\\t";
        break;
      case '\r':
        result += "\\r";
        break;
      case ' ':
        result += i == 0 ? "\\s" : " ";
        break;
      default:
        result += c;
    }
  }
  return result;
}

std::optional<std::string> DesktopEntryText(const std::string& name, const std::string& targetPath,
                                            const std::vector<std::string>& arguments) {
  if (name.empty() || targetPath.empty() || !Writable(name) || !Writable(targetPath)) {
    return std::nullopt;
  }
  std::string exec = QuoteExecArgument(targetPath);
  for (const std::string& argument : arguments) {
    if (!Writable(argument)) return std::nullopt;
    exec += ' ' + QuoteExecArgument(argument);
  }
  std::string text = "[Desktop Entry]\n";
  text += "Type=Application\n";
  text += "Name=" + EscapeEntryValue(name) + "\n";
  text += "Comment=Set up the text-animation screen saver\n";
  text += "Exec=" + EscapeEntryValue(exec) + "\n";
  const std::string folder = FolderOf(targetPath);
  if (!folder.empty()) text += "Path=" + EscapeEntryValue(folder) + "\n";
  text += "Icon=preferences-desktop-screensaver\n";
  text += "Terminal=false\n";
  text += "Categories=Settings;DesktopSettings;\n";
  return text;
}
