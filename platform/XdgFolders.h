#pragma once
// The user's base folders after the XDG base-directory rules.

#include <string>

namespace platform {

// $XDG_DATA_HOME when it is an absolute path, else <home>/.local/share, where
// home is $HOME (when absolute) or the account's home folder. Empty when no
// home folder can be found.
std::string UserDataHome();

// <UserDataHome>/applications, the folder of the user's menu entries; empty
// when UserDataHome is.
std::string UserApplicationsFolder();

}  // namespace platform
