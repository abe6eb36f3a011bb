#pragma once
// The folder and the name of a file path, as strings: the folder of a path
// without a slash is ".", of a path in the root folder "/"; a trailing slash
// leaves the name empty. Only the last slash counts ("a//b" lies in "a/"),
// unlike std::filesystem::path::parent_path, which also drops the slashes
// before it and gives "" for a bare name: callers open the folder, append
// "/name" to it and show it in messages.

#include <string>

namespace platform {

std::string FolderOf(const std::string& path);
std::string FileNameOf(const std::string& path);

}  // namespace platform
