#include "platform/XdgFolders.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

namespace platform {
namespace {

bool IsAbsolute(const char* path) {
  return path != nullptr && path[0] == '/';
}

std::string HomeFolder() {
  const char* home = std::getenv("HOME");
  if (IsAbsolute(home)) return home;
  const passwd* entry = getpwuid(getuid());
  if (entry != nullptr && IsAbsolute(entry->pw_dir)) return entry->pw_dir;
  return std::string();
}

// Appends `leaf` with one slash between, whether or not `folder` ends in one.
std::string Join(const std::string& folder, const char* leaf) {
  return folder.back() == '/' ? folder + leaf : folder + "/" + leaf;
}

}  // namespace

std::string UserDataHome() {
  // Relative values are invalid and must be ignored.
  const char* dataHome = std::getenv("XDG_DATA_HOME");
  if (IsAbsolute(dataHome)) return dataHome;
  const std::string home = HomeFolder();
  return home.empty() ? std::string() : Join(home, ".local/share");
}

std::string UserApplicationsFolder() {
  const std::string dataHome = UserDataHome();
  return dataHome.empty() ? std::string() : Join(dataHome, "applications");
}

}  // namespace platform
