#include "host/CommandLine.h"

#include <cstdint>
#include <optional>

namespace {

std::string UpperCase(std::string text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return text;
}

// Digits only, up to the largest 32-bit id; no sign, no spaces, no prefix.
std::optional<platform::WindowId> ParseWindowId(const std::string& text) {
  if (text.empty()) return std::nullopt;
  uint64_t value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + static_cast<uint64_t>(c - '0');
    if (value > UINT32_MAX) return std::nullopt;
  }
  return static_cast<platform::WindowId>(value);
}

TRunMode ModeOf(const std::string& firstArgument) {
  std::string text = UpperCase(firstArgument);
  if (!text.empty() && (text.front() == '/' || text.front() == '-')) text.erase(0, 1);
  if (text.empty()) return rmConfigure;
  switch (text.front()) {
    case 'A':
      return rmChangePassword;
    case 'P':
      return rmPreview;
    case 'C':
      return rmConfigure;
    default:
      return rmRun;
  }
}

std::string MissingWindowMessage(const std::string& switchText, const std::string& given) {
  const std::string what = given.empty() ? "none was given" : "\"" + given + "\" is not one";
  return "\"" + switchText +
         "\" needs the decimal id of an X11 window as the second argument, but " + what + ".";
}

}  // namespace

TCommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
  const std::string first = arguments.size() > 0 ? arguments[0] : std::string();
  const std::string second = arguments.size() > 1 ? arguments[1] : std::string();
  TCommandLine result;
  result.RunMode = ModeOf(first);
  if (result.RunMode == rmChangePassword || result.RunMode == rmPreview) {
    if (const std::optional<platform::WindowId> window = ParseWindowId(second)) {
      result.Window = *window;
    } else {
      result.Error = MissingWindowMessage(first, second);
    }
  }
  return result;
}

TCommandLine ParseCommandLine(int argc, const char* const* argv) {
  std::vector<std::string> arguments;
  for (int i = 1; i < argc && i <= 2; ++i) arguments.emplace_back(argv[i]);
  return ParseCommandLine(arguments);
}
