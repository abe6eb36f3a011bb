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
         "\" needs the id of an X11 window (decimal or 0x... hexadecimal) as the second "
         "argument, but " +
         what + ".";
}

}  // namespace

std::optional<platform::WindowId> ParseWindowId(const std::string& text) {
  // X tools print window ids in hexadecimal; the classic protocol passes decimal.
  const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
  const uint64_t base = hex ? 16 : 10;
  if (text.empty()) return std::nullopt;
  uint64_t value = 0;
  for (size_t i = hex ? 2 : 0; i < text.size(); ++i) {
    const char c = text[i];
    uint64_t digit = base;
    if (c >= '0' && c <= '9') digit = static_cast<uint64_t>(c - '0');
    if (hex && c >= 'a' && c <= 'f') digit = static_cast<uint64_t>(c - 'a' + 10);
    if (hex && c >= 'A' && c <= 'F') digit = static_cast<uint64_t>(c - 'A' + 10);
    if (digit >= base) return std::nullopt;
    value = value * base + digit;
    if (value > UINT32_MAX) return std::nullopt;
  }
  return static_cast<platform::WindowId>(value);
}

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
