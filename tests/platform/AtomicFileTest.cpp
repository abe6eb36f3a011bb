#include "platform/AtomicFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/support/TempDir.h"

namespace {

int FileCount(const std::filesystem::path& folder) {
  int count = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder)) ++count;
  return count;
}

TEST(AtomicFileTest, ReaderOfTheOldFileKeepsSeeingAllOfIt) {
  TempDir dir;
  const std::string file = dir.File("entry");
  ASSERT_TRUE(platform::ReplaceFileAtomically(file, "old content\n", 0644));
  std::ifstream oldReader(file);
  ASSERT_TRUE(platform::ReplaceFileAtomically(file, "new\n", 0644));
  std::stringstream oldText;
  oldText << oldReader.rdbuf();
  EXPECT_EQ(oldText.str(), "old content\n");
  EXPECT_EQ(TempDir::Read(file), "new\n");
  EXPECT_EQ(FileCount(dir.Path()), 1);
}

TEST(AtomicFileTest, NewFileGetsTheModeLessTheUmask) {
  TempDir dir;
  const mode_t old = umask(027);
  const bool written = platform::ReplaceFileAtomically(dir.File("entry"), "x", 0666);
  umask(old);
  ASSERT_TRUE(written);
  struct stat status {};
  ASSERT_EQ(stat(dir.File("entry").c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 0777, 0640u);
}

TEST(AtomicFileTest, FailureLeavesNothingBehind) {
  TempDir dir;
  std::filesystem::create_directory(dir.File("folder"));
  TempDir::Write(dir.File("folder/inside"), "kept");
  // A folder in the way: the rename fails after the data was written.
  EXPECT_FALSE(platform::ReplaceFileAtomically(dir.File("folder"), "x", 0644));
  EXPECT_EQ(TempDir::Read(dir.File("folder/inside")), "kept");
  EXPECT_EQ(FileCount(dir.Path()), 1);
  EXPECT_FALSE(platform::ReplaceFileAtomically(dir.File("missing/entry"), "x", 0644));
  EXPECT_FALSE(platform::ReplaceFileAtomically(dir.File("slash/"), "x", 0644));
}

}  // namespace
