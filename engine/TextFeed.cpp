#include "engine/TextFeed.h"

#include <string_view>

#include "engine/Utf8Text.h"

namespace {

constexpr char32_t kEscape = 0x1B;
constexpr char32_t kBell = 0x07;
constexpr char32_t kCsi = 0x9B;  // the one-character forms of ESC [ and ESC ]
constexpr char32_t kOsc = 0x9D;

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

bool IsValidUtf8(std::string_view bytes) {
  // Decoding replaces every broken byte, so only a valid text encodes back
  // unchanged.
  std::string again;
  for (const char32_t c : DecodeUtf8(bytes)) AppendUtf8(again, c);
  return again == bytes;
}

// Where the escape sequence that starts at `at` ends (one past it).
size_t EndOfEscape(const std::u32string& text, size_t at) {
  const char32_t first = text[at];
  size_t k = at + 1;
  bool control = first == kCsi, string = first == kOsc;
  if (first == kEscape) {
    if (k >= text.size()) return k;
    control = text[k] == U'[';
    // OSC, DCS, SOS, PM, APC: a string up to BEL or ST.
    string =
        text[k] == U']' || text[k] == U'P' || text[k] == U'X' || text[k] == U'^' || text[k] == U'_';
    if (!control && !string) {
      // Intermediate bytes, then one final byte (ESC ( B, ESC 7, ...).
      while (k < text.size() && text[k] >= 0x20 && text[k] <= 0x2F) ++k;
      return k < text.size() ? k + 1 : k;
    }
    ++k;
  }
  if (control) {
    // Parameters and intermediates, then a final byte from @ to ~.
    while (k < text.size() && text[k] >= 0x20 && text[k] <= 0x3F) ++k;
    return k < text.size() && text[k] >= 0x40 && text[k] <= 0x7E ? k + 1 : k;
  }
  while (k < text.size()) {
    if (text[k] == kBell) return k + 1;
    if (text[k] == 0x9C) return k + 1;
    if (text[k] == kEscape && k + 1 < text.size() && text[k + 1] == U'\\') return k + 2;
    ++k;
  }
  return k;
}

}  // namespace

std::string SafeFedText(std::string_view bytes) {
  const bool cut = bytes.size() > kFedTextLimit;
  bytes = bytes.substr(0, kFedTextLimit);
  // The limit may fall inside a letter of a valid text: leave that letter out.
  std::string_view whole = bytes;
  for (size_t drop = 1; cut && drop <= 3 && !IsValidUtf8(whole); ++drop) {
    whole = bytes.substr(0, bytes.size() - drop);
  }
  std::u32string text;
  if (IsValidUtf8(whole)) {
    text = DecodeUtf8(whole);
  } else {
    for (const char c : bytes) text += static_cast<char32_t>(static_cast<unsigned char>(c));
  }
  if (!text.empty() && text.front() == 0xFEFF) text.erase(0, 1);  // a byte order mark

  std::string result;
  std::string line;
  bool visible = false;
  const auto endLine = [&] {
    if (visible) result += (result.empty() ? "" : "\r") + line;
    line.clear();
    visible = false;
  };
  for (size_t k = 0; k < text.size();) {
    const char32_t c = text[k];
    if (c == kEscape || c == kCsi || c == kOsc) {
      k = EndOfEscape(text, k);
      continue;
    }
    ++k;
    if (c == U'\r' || c == U'\n') {
      if (c == U'\r' && k < text.size() && text[k] == U'\n') ++k;
      endLine();
    } else if (c == U'\t') {
      line += ' ';
    } else if (c < 0x20 || (c >= 0x7F && c < 0xA0) || c == 0x2028 || c == 0x2029) {
      // Other control characters show nothing or move the cursor: dropped.
    } else {
      AppendUtf8(line, c);
      visible = visible || c != U' ';
    }
  }
  endLine();
  return result;
}
