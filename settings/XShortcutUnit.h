#pragma once
// The program's entry in the user's applications menu: a freedesktop desktop
// entry below the user's Programs folder.

#include <string>
#include <vector>

// Creates or atomically replaces <folder>/<subFolder>/<name>.desktop, where
// folder is GetProgramsPath() when `inPrograms` is set, else
// GetStartMenuPath(); `subFolder` separates its parts with '\' or '/'. The
// entry starts `targetPath` with `arguments` in the target's folder. Missing
// folders are made top-down. Returns whether the entry was written; nothing
// is written when the folder lookup yields nothing, `name` is no plain file
// name, or a text cannot be written into an entry.
bool CreateShortcut(const std::string& name, const std::string& targetPath,
                    const std::vector<std::string>& arguments, const std::string& subFolder,
                    bool inPrograms);

// Where CreateShortcut puts the entry; empty when the folder lookup yields
// nothing.
std::string ShortcutFilePath(const std::string& name, const std::string& subFolder,
                             bool inPrograms);
