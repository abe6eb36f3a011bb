#include "settings/XExeCounterUnit.h"

#include <limits>

#include "settings/GlobalsUnit.h"
#include "settings/XRegistryUnit.h"

namespace {

// The counter stops at the largest integer: wrapping to a negative count
// would turn every later start into a first start.
int32_t NextCount(int32_t count) {
  return count == std::numeric_limits<int32_t>::max() ? count : count + 1;
}

}  // namespace

int32_t CheckExeCounter(const std::string& keyPath, const std::string& version) {
  StoredVersion = version;
  int32_t result = 0;
  try {
    // Read and written back while other writers wait: starts at the same
    // moment each count.
    platform::RegistryStore& store = platform::UserRegistry();
    platform::RegistryUpdate update(store);
    TNewRegistry registry(store);
    if (!registry.OpenPath(keyPath, true)) return 0;
    result = registry.GetIntegerDef("ExeCounter", 0);
    registry.PutInteger("ExeCounter", NextCount(result));
    StoredVersion = registry.GetStringDef("ExeVersion", "");
    // The new version is recorded by the settings load, together with the
    // migration of the settings (LoadGlobals), so that a start ended before
    // that is a first start again.
    if (StoredVersion != version) result = 0;
    registry.ClosePath();
  } catch (...) {  // counting a start must never stop the program
  }
  return result;
}
