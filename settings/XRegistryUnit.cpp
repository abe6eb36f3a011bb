#include "settings/XRegistryUnit.h"

bool TNewRegistry::OpenPathReadOnly(const std::string& path) {
  return OpenWithAccess(path, false, {platform::KEY_READ});
}

int32_t TNewRegistry::GetIntegerDef(const std::string& name, int32_t defaultValue) {
  if (!HasValue(name)) return defaultValue;
  try {
    return GetInteger(name);
  } catch (...) {  // these reads never raise
    return defaultValue;
  }
}

std::string TNewRegistry::GetStringDef(const std::string& name, const std::string& defaultValue) {
  if (!HasValue(name)) return defaultValue;
  try {
    return GetString(name);
  } catch (...) {  // these reads never raise
    return defaultValue;
  }
}

bool TNewRegistry::GetBoolDef(const std::string& name, bool defaultValue) {
  if (!HasValue(name)) return defaultValue;
  try {
    return GetBool(name);
  } catch (...) {  // these reads never raise
    return defaultValue;
  }
}
