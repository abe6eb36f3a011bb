// Feeds arbitrary text to the registry file parser. Besides crashes and
// sanitizer reports it checks that whatever was read is written back in a
// form that reads again to the very same hive.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/registry/RegFileFormat.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const platform::RegParseResult first = platform::ParseRegFile(text);
  const std::string written = platform::FormatRegFile(first.hive);
  const platform::RegParseResult second = platform::ParseRegFile(written);
  if (!second.errors.empty() || !(second.hive == first.hive)) std::abort();
  if (platform::FormatRegFile(second.hive) != written) std::abort();
  return 0;
}
