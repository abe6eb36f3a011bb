#include "platform/PathParts.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct PathCase {
  const char* path;
  const char* folder;
  const char* name;
};

TEST(PathPartsTest, FolderAndNameSplitAtTheLastSlash) {
  const PathCase cases[] = {
      {"registry.reg", ".", "registry.reg"},  // no folder: the current one
      {"", ".", ""},
      {"/registry.reg", "/", "registry.reg"},  // in the root folder
      {"/", "/", ""},
      {"//a", "/", "a"},
      {"a/b", "a", "b"},
      {"/home/u/.config/lettrance/registry.reg", "/home/u/.config/lettrance", "registry.reg"},
      {"a//b", "a/", "b"},  // only the last slash goes
      {"a/b/", "a/b", ""},  // a trailing slash: the name is empty
      {"./f", ".", "f"},
      {"../x/.hidden", "../x", ".hidden"},
  };
  for (const PathCase& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(platform::FolderOf(c.path), c.folder);
    EXPECT_EQ(platform::FileNameOf(c.path), c.name);
  }
}

TEST(PathPartsTest, FolderOfFolderEndsAtDotOrRoot) {
  // Walking up, as the hive file does to find the first folder that exists.
  std::string relative = "a/b/c";
  for (const char* expected : {"a/b", "a", ".", "."}) {
    relative = platform::FolderOf(relative);
    EXPECT_EQ(relative, expected);
  }
  std::string absolute = "/a/b";
  for (const char* expected : {"/a", "/", "/"}) {
    absolute = platform::FolderOf(absolute);
    EXPECT_EQ(absolute, expected);
  }
}

}  // namespace
