#pragma once
// Hosts that refuse to run as root (sway, the screen-saver daemons) run in
// the tests as the user "nobody", in a folder of the test's handed over to
// it, with a clean environment.

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

// Gives `folder` and everything in it to nobody. False when there is no such
// user or a file cannot be given.
inline bool HandToNobody(const std::filesystem::path& folder) {
  const passwd* nobody = getpwnam("nobody");
  if (nobody == nullptr) return false;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
    if (lchown(entry.path().c_str(), nobody->pw_uid, nobody->pw_gid) != 0) return false;
  }
  return chown(folder.c_str(), nobody->pw_uid, nobody->pw_gid) == 0;
}

// The sanitizer tree's settings for a program started with a clean
// environment from `home`: the leak suppressions copied there, where its
// user can read them, and the other sanitizer options passed on.
inline std::vector<std::string> SanitizerEnvironment(const std::filesystem::path& home) {
  const std::filesystem::path suppressions = home / "lsan.supp";
  std::filesystem::copy_file(LETTRANCE_SOURCE_DIR "/scripts/lsan.supp", suppressions);
  std::vector<std::string> env = {"LSAN_OPTIONS=suppressions=" + suppressions.string() +
                                  ":print_suppressions=0"};
  for (const char* name : {"ASAN_OPTIONS", "UBSAN_OPTIONS"}) {
    if (const char* value = std::getenv(name)) env.push_back(std::string(name) + "=" + value);
  }
  return env;
}
