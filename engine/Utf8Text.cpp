#include "engine/Utf8Text.h"

namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsContinuation(unsigned char byte) {
  return (byte & 0xC0) == 0x80;
}

// Length and code point of the well-formed sequence at the start of text, or
// a length of 0 when there is none.
std::pair<size_t, char32_t> DecodeOne(std::string_view text) {
  const auto lead = static_cast<unsigned char>(text[0]);
  if (lead < 0x80) return {1, lead};
  size_t length;
  char32_t value;
  char32_t minimum;
  if ((lead & 0xE0) == 0xC0) {
    length = 2, value = lead & 0x1F, minimum = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3, value = lead & 0x0F, minimum = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4, value = lead & 0x07, minimum = 0x10000;
  } else {
    return {0, 0};
  }
  if (text.size() < length) return {0, 0};
  for (size_t k = 1; k < length; ++k) {
    const auto byte = static_cast<unsigned char>(text[k]);
    if (!IsContinuation(byte)) return {0, 0};
    value = (value << 6) | (byte & 0x3F);
  }
  if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return {0, 0};
  return {length, value};
}

}  // namespace

std::u32string DecodeUtf8(std::string_view text) {
  std::u32string letters;
  letters.reserve(text.size());
  while (!text.empty()) {
    const auto [length, value] = DecodeOne(text);
    if (length == 0) {
      letters.push_back(kReplacement);
      text.remove_prefix(1);
    } else {
      letters.push_back(value);
      text.remove_prefix(length);
    }
  }
  return letters;
}
