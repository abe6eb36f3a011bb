#include "settings/XShortcutUnit.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <system_error>

#include "platform/registry/AtomicFile.h"
#include "settings/DesktopEntryText.h"
#include "settings/XWinPathUnit.h"

namespace {

bool IsPlainFileName(const std::string& name) {
  return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos;
}

std::string JoinFolder(const std::string& base, std::string subFolder) {
  std::replace(subFolder.begin(), subFolder.end(), '\\', '/');
  while (!subFolder.empty() && subFolder.front() == '/') subFolder.erase(0, 1);
  if (subFolder.empty()) return base;
  return base.back() == '/' ? base + subFolder : base + "/" + subFolder;
}

}  // namespace

std::string ShortcutFilePath(const std::string& name, const std::string& subFolder,
                             bool inPrograms) {
  const std::string base = inPrograms ? GetProgramsPath() : GetStartMenuPath();
  if (base.empty()) return std::string();
  const std::string folder = JoinFolder(base, subFolder);
  return folder.back() == '/' ? folder + name + ".desktop" : folder + "/" + name + ".desktop";
}

bool CreateShortcut(const std::string& name, const std::string& targetPath,
                    const std::vector<std::string>& arguments, const std::string& subFolder,
                    bool inPrograms) {
  if (!IsPlainFileName(name)) return false;
  const std::string file = ShortcutFilePath(name, subFolder, inPrograms);
  if (file.empty()) return false;
  const std::optional<std::string> text = DesktopEntryText(name, targetPath, arguments);
  if (!text) return false;
  std::error_code ignored;  // a folder that cannot be made shows as a failed write
  std::filesystem::create_directories(std::filesystem::path(file).parent_path(), ignored);
  return platform::ReplaceFileAtomically(file, *text, 0644);
}
