#include "settings/XRegistryUnit.h"

namespace {

// A missing value, or any error while reading it, gives the default: these
// reads never raise.
template <class T, class Read>
T ReadOrDefault(TNewRegistry& registry, const std::string& name, const T& defaultValue, Read read) {
  if (!registry.HasValue(name)) return defaultValue;
  try {
    return read(name);
  } catch (...) {
    return defaultValue;
  }
}

}  // namespace

bool TNewRegistry::OpenPathReadOnly(const std::string& path) {
  return OpenWithAccess(path, false, {platform::KEY_READ});
}

int32_t TNewRegistry::GetIntegerDef(const std::string& name, int32_t defaultValue) {
  return ReadOrDefault(*this, name, defaultValue, [this](auto& n) { return GetInteger(n); });
}

std::string TNewRegistry::GetStringDef(const std::string& name, const std::string& defaultValue) {
  return ReadOrDefault(*this, name, defaultValue, [this](auto& n) { return GetString(n); });
}

bool TNewRegistry::GetBoolDef(const std::string& name, bool defaultValue) {
  return ReadOrDefault(*this, name, defaultValue, [this](auto& n) { return GetBool(n); });
}
