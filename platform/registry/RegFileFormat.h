#pragma once
// The registry file text: a header line, one [HKEY_CURRENT_USER\...] section
// per key and one line per value, in UTF-8. Strings escape control characters
// C-style so that line breaks in values survive a round trip.

#include <string>
#include <string_view>
#include <vector>

#include "platform/registry/RegHive.h"

namespace platform {

inline constexpr std::string_view kRegFileHeader = "Windows Registry Editor Version 5.00";

struct RegParseError {
  int line = 0;  // 1-based
  std::string message;
};

struct RegParseResult {
  RegHive hive;  // everything that could be read
  std::vector<RegParseError> errors;
};

RegParseResult ParseRegFile(std::string_view text);
std::string FormatRegFile(const RegHive& hive);

// Quoted-string escaping as used for value names and string data.
std::string EscapeRegString(std::string_view bytes);

}  // namespace platform
