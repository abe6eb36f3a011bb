#include "platform/registry/UserRegistry.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <memory>
#include <mutex>

#include "platform/registry/HiveFile.h"
#include "platform/registry/HiveRegistry.h"

namespace platform {
namespace {

std::mutex gMutex;
RegistryStore* gOverride = nullptr;

std::string HomeFolder() {
  const char* home = std::getenv("HOME");
  if (home != nullptr && home[0] == '/') return home;
  const passwd* entry = getpwuid(getuid());
  return entry != nullptr && entry->pw_dir != nullptr ? entry->pw_dir : "/tmp";
}

}  // namespace

std::string UserHivePath() {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  const std::string base =
      config != nullptr && config[0] == '/' ? std::string(config) : HomeFolder() + "/.config";
  return base + "/lettrance/registry.reg";
}

RegistryStore& UserRegistry() {
  std::lock_guard lock(gMutex);
  if (gOverride != nullptr) return *gOverride;
  // Lives until exit; its destructor stores anything still pending.
  static HiveRegistry userHive(std::make_unique<HiveFile>(UserHivePath()));
  return userHive;
}

void SetUserRegistry(RegistryStore* store) {
  std::lock_guard lock(gMutex);
  gOverride = store;
}

}  // namespace platform
