#pragma once
// The user's shell folders. On this desktop the start menu and its Programs
// folder are both the folder of the user's menu entries (XDG data home).

#include <string>

// The full path of the named shell folder ("Start Menu" or "Programs", case
// ignored as in value names); empty when the name is unknown or the folder
// cannot be found.
std::string ReadShellFolder(const std::string& valueName);

std::string GetStartMenuPath();
std::string GetProgramsPath();
