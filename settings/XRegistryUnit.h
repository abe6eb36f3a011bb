#pragma once
// The registry key object the program uses: adds a read-only open and reads
// that fall back to a default instead of raising.

#include "settings/NTReg.h"

class TNewRegistry : public TNTRegistry {
 public:
  using TNTRegistry::TNTRegistry;

  // Opens an existing key with read access only.
  bool OpenPathReadOnly(const std::string& path);

  int32_t GetIntegerDef(const std::string& name, int32_t defaultValue);
  std::string GetStringDef(const std::string& name, const std::string& defaultValue);
  bool GetBoolDef(const std::string& name, bool defaultValue);
};
