#include "platform/registry/RegFileFormat.h"

#include <cstdio>
#include <optional>

#include "platform/HexDigit.h"
#include "platform/registry/RegistryStore.h"

namespace platform {
namespace {

constexpr std::string_view kRootName = "HKEY_CURRENT_USER";

// Length of the valid UTF-8 sequence at `pos`, or 0 when the bytes there are
// not one (overlong forms, surrogates and values past U+10FFFF included).
size_t Utf8SequenceLength(std::string_view s, size_t pos) {
  const auto byte = [&](size_t i) { return static_cast<unsigned char>(s[i]); };
  const unsigned char lead = byte(pos);
  size_t length;
  uint32_t min;
  uint32_t cp;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, min = 0x80, cp = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, min = 0x800, cp = lead & 0x0F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, min = 0x10000, cp = lead & 0x07;
  } else {
    return 0;
  }
  if (pos + length > s.size()) return 0;
  for (size_t i = 1; i < length; ++i) {
    if ((byte(pos + i) & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (byte(pos + i) & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return length;
}

void AppendHexByte(std::string& out, unsigned char b) {
  static const char digits[] = "0123456789abcdef";
  out += digits[b >> 4];
  out += digits[b & 0x0F];
}

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r';
}

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

bool StartsWithNoCase(std::string_view s, std::string_view prefix) {
  return s.size() >= prefix.size() &&
         FoldRegName(s.substr(0, prefix.size())) == FoldRegName(prefix);
}

std::string FormatHex(std::string_view prefix, const std::vector<uint8_t>& data) {
  std::string out(prefix);
  for (size_t i = 0; i < data.size(); ++i) {
    if (i > 0) out += ',';
    AppendHexByte(out, data[i]);
  }
  return out;
}

std::string FormatValueData(const RegValue& value) {
  const auto& d = value.data;
  if (value.type == REG_SZ && !d.empty() && d.back() == 0) {
    const std::string_view text(reinterpret_cast<const char*>(d.data()), d.size() - 1);
    if (text.find('\0') == std::string_view::npos) return '"' + EscapeRegString(text) + '"';
  }
  if (value.type == REG_DWORD && d.size() == 4) {
    const uint32_t v = d[0] | (d[1] << 8) | (d[2] << 16) | (static_cast<uint32_t>(d[3]) << 24);
    char buf[16];
    std::snprintf(buf, sizeof buf, "dword:%08x", v);
    return buf;
  }
  if (value.type == REG_BINARY) return FormatHex("hex:", d);
  char prefix[24];
  std::snprintf(prefix, sizeof prefix, "hex(%x):", value.type);
  return FormatHex(prefix, d);
}

// Reads a quoted string starting at s[pos] == '"'; on success `pos` is just
// past the closing quote.
std::optional<std::string> ParseQuoted(std::string_view s, size_t& pos, std::string& error) {
  std::string out;
  ++pos;
  while (pos < s.size()) {
    const char c = s[pos++];
    if (c == '"') return out;
    if (c != '\\') {
      out += c;
      continue;
    }
    if (pos >= s.size()) break;
    const char e = s[pos++];
    switch (e) {
      case '\\':
        out += '\\';
        break;
      case '"':
        out += '"';
        break;
      case 'r':
        out += '\r';
        break;
      case 'n':
        out += '\n';
        break;
      case 't':
        out += '\t';
        break;
      case '0':
        out += '\0';
        break;
      case 'x': {
        const int hi = pos < s.size() ? HexDigit(s[pos]) : -1;
        const int lo = pos + 1 < s.size() ? HexDigit(s[pos + 1]) : -1;
        if (hi < 0 || lo < 0) {
          error = "\\x needs two hexadecimal digits";
          return std::nullopt;
        }
        out += static_cast<char>(hi * 16 + lo);
        pos += 2;
        break;
      }
      default:
        error = std::string("unknown escape \\") + e;
        return std::nullopt;
    }
  }
  error = "unterminated string";
  return std::nullopt;
}

std::optional<std::vector<uint8_t>> ParseHexBytes(std::string_view s, std::string& error) {
  std::vector<uint8_t> bytes;
  size_t pos = 0;
  const auto skipBlanks = [&] {
    while (pos < s.size() && IsBlank(s[pos])) ++pos;
  };
  skipBlanks();
  if (pos == s.size()) return bytes;
  while (true) {
    skipBlanks();
    const int hi = pos < s.size() ? HexDigit(s[pos]) : -1;
    const int lo = pos + 1 < s.size() ? HexDigit(s[pos + 1]) : -1;
    if (hi < 0 || lo < 0) {
      error = "malformed hex byte";
      return std::nullopt;
    }
    bytes.push_back(static_cast<uint8_t>(hi * 16 + lo));
    pos += 2;
    skipBlanks();
    if (pos == s.size()) return bytes;
    if (s[pos] != ',') {
      error = "expected ',' between hex bytes";
      return std::nullopt;
    }
    ++pos;
  }
}

struct ParsedData {
  uint32_t type;
  std::vector<uint8_t> data;
};

std::optional<ParsedData> ParseValueData(std::string_view s, std::string& error) {
  if (!s.empty() && s.front() == '"') {
    size_t pos = 0;
    auto text = ParseQuoted(s, pos, error);
    if (!text) return std::nullopt;
    if (!TrimBlanks(s.substr(pos)).empty()) {
      error = "unexpected text after the string";
      return std::nullopt;
    }
    std::vector<uint8_t> data(text->begin(), text->end());
    data.push_back(0);
    return ParsedData{REG_SZ, std::move(data)};
  }
  if (StartsWithNoCase(s, "dword:")) {
    const std::string_view digits = s.substr(6);
    if (digits.empty() || digits.size() > 8) {
      error = "dword needs 1 to 8 hexadecimal digits";
      return std::nullopt;
    }
    uint32_t v = 0;
    for (char c : digits) {
      const int d = HexDigit(c);
      if (d < 0) {
        error = "malformed dword";
        return std::nullopt;
      }
      v = (v << 4) | static_cast<uint32_t>(d);
    }
    return ParsedData{REG_DWORD,
                      {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8),
                       static_cast<uint8_t>(v >> 16), static_cast<uint8_t>(v >> 24)}};
  }
  uint32_t type = REG_BINARY;
  size_t bytesStart;
  if (StartsWithNoCase(s, "hex:")) {
    bytesStart = 4;
  } else if (StartsWithNoCase(s, "hex(")) {
    const size_t close = s.find("):");
    if (close == std::string_view::npos || close == 4 || close > 12) {
      error = "malformed hex(type)";
      return std::nullopt;
    }
    type = 0;
    for (char c : s.substr(4, close - 4)) {
      const int d = HexDigit(c);
      if (d < 0) {
        error = "malformed hex(type)";
        return std::nullopt;
      }
      type = (type << 4) | static_cast<uint32_t>(d);
    }
    bytesStart = close + 2;
  } else {
    error = "unknown value format";
    return std::nullopt;
  }
  auto bytes = ParseHexBytes(s.substr(bytesStart), error);
  if (!bytes) return std::nullopt;
  return ParsedData{type, std::move(*bytes)};
}

}  // namespace

std::string EscapeRegString(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  size_t i = 0;
  while (i < bytes.size()) {
    const unsigned char c = static_cast<unsigned char>(bytes[i]);
    if (c == '\\') {
      out += "\\\\";
    } else if (c == '"') {
      out += "\\\"";
    } else if (c == '\r') {
      out += "\\r";
    } else if (c == '\n') {
      out += "\\n";
    } else if (c < 0x20 || c == 0x7F) {
      out += "\\x";
      AppendHexByte(out, c);
    } else if (c >= 0x80) {
      const size_t length = Utf8SequenceLength(bytes, i);
      if (length == 0) {
        out += "\\x";
        AppendHexByte(out, c);
      } else {
        out.append(bytes.substr(i, length));
        i += length;
        continue;
      }
    } else {
      out += static_cast<char>(c);
    }
    ++i;
  }
  return out;
}

std::string FormatRegFile(const RegHive& hive) {
  std::string out(kRegFileHeader);
  out += "\n";
  for (const auto& [folded, key] : hive.Keys()) {
    if (key.path.empty() && key.values.empty()) continue;
    out += "\n[";
    out += kRootName;
    if (!key.path.empty()) {
      out += '\\';
      out += key.path;
    }
    out += "]\n";
    for (const RegValue& value : key.values) {
      out += value.name.empty() ? std::string("@") : '"' + EscapeRegString(value.name) + '"';
      out += '=';
      out += FormatValueData(value);
      out += '\n';
    }
  }
  return out;
}

RegParseResult ParseRegFile(std::string_view text) {
  RegParseResult result;
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);

  std::optional<std::string> section;  // current key path; none outside a valid section
  bool headerSeen = false;
  int lineNumber = 0;
  size_t pos = 0;
  const auto fail = [&](int line, std::string message) {
    result.errors.push_back(RegParseError{line, std::move(message)});
  };

  while (pos < text.size()) {
    // One logical line: hex data may continue over lines ending in '\'.
    const int firstLine = lineNumber + 1;
    std::string line;
    while (true) {
      size_t end = text.find('\n', pos);
      if (end == std::string_view::npos) end = text.size();
      std::string_view physical = text.substr(pos, end - pos);
      pos = end + (end < text.size() ? 1 : 0);
      ++lineNumber;
      const std::string_view trimmed = TrimBlanks(physical);
      const bool continued = !trimmed.empty() && trimmed.back() == '\\' && trimmed.front() != ';' &&
                             trimmed.front() != '[' && pos < text.size();
      if (!continued) {
        line.append(trimmed);
        break;
      }
      line.append(trimmed.substr(0, trimmed.size() - 1));
    }

    const std::string_view content = TrimBlanks(line);
    if (content.empty() || content.front() == ';') continue;
    if (!headerSeen) {
      headerSeen = true;
      if (content == kRegFileHeader || content == "REGEDIT4") continue;
      fail(firstLine, "missing header line \"" + std::string(kRegFileHeader) + "\"");
    }

    if (content.front() == '[') {
      section.reset();
      if (content.back() != ']') {
        fail(firstLine, "key line without closing ']'");
        continue;
      }
      const std::string_view full = content.substr(1, content.size() - 2);
      const size_t slash = full.find('\\');
      const std::string_view root = full.substr(0, slash);
      if (FoldRegName(root) != FoldRegName(kRootName)) {
        fail(firstLine, "key outside HKEY_CURRENT_USER");
        continue;
      }
      std::string path;
      if (!NormalizeKeyPath(slash == std::string_view::npos ? "" : full.substr(slash + 1), path)) {
        fail(firstLine, "control character in a key name");
        continue;
      }
      result.hive.CreateKey(path);
      section = std::move(path);
      continue;
    }

    std::string name;
    size_t at = 0;
    std::string error;
    if (content.front() == '@') {
      at = 1;
    } else if (content.front() == '"') {
      auto quoted = ParseQuoted(content, at, error);
      if (!quoted) {
        fail(firstLine, "value name: " + error);
        continue;
      }
      name = std::move(*quoted);
    } else {
      fail(firstLine, "expected a [key] or a \"name\"=value line");
      continue;
    }
    std::string_view rest = TrimBlanks(content.substr(at));
    if (rest.empty() || rest.front() != '=') {
      fail(firstLine, "expected '=' after the value name");
      continue;
    }
    rest = TrimBlanks(rest.substr(1));
    auto data = ParseValueData(rest, error);
    if (!data) {
      fail(firstLine, "value \"" + EscapeRegString(name) + "\": " + error);
      continue;
    }
    if (!section) {
      fail(firstLine, "value outside a valid key section");
      continue;
    }
    result.hive.SetValue(*section, name, data->type, std::move(data->data));
  }
  return result;
}

}  // namespace platform
