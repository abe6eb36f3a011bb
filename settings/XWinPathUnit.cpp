#include "settings/XWinPathUnit.h"

#include <algorithm>
#include <cctype>

#include "platform/XdgFolders.h"

namespace {

bool SameName(const std::string& a, const std::string& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) ==
           std::tolower(static_cast<unsigned char>(y));
  });
}

}  // namespace

std::string ReadShellFolder(const std::string& valueName) {
  if (SameName(valueName, "Start Menu") || SameName(valueName, "Programs")) {
    return platform::UserApplicationsFolder();
  }
  return std::string();
}

std::string GetStartMenuPath() {
  return ReadShellFolder("Start Menu");
}

std::string GetProgramsPath() {
  return ReadShellFolder("Programs");
}
