#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "settings/DesktopEntryText.h"
#include "settings/XShortcutUnit.h"
#include "settings/XWinPathUnit.h"
#include "tests/support/ScopedEnv.h"
#include "tests/support/TempDir.h"

namespace fs = std::filesystem;

namespace {

bool Validates(const std::string& file) {
  const std::string command = "desktop-file-validate '" + file + "' >/dev/null 2>&1";
  return std::system(command.c_str()) == 0;
}

class ShortcutTest : public ::testing::Test {
 protected:
  TempDir dir;
  ScopedEnv dataHome{"XDG_DATA_HOME", dir.File("data").c_str()};
  std::string EntryFile() const {
    return dir.File("data/applications/Vandor/Screensaver/Lettrance.desktop");
  }
  bool Create(const std::string& target, const std::vector<std::string>& arguments = {}) {
    return CreateShortcut("Lettrance", target, arguments, "Vandor\\Screensaver", true);
  }
};

TEST_F(ShortcutTest, ProgramsFolderFollowsTheDataHome) {
  EXPECT_EQ(GetProgramsPath(), dir.File("data") + "/applications");
  EXPECT_EQ(GetStartMenuPath(), GetProgramsPath());
  EXPECT_EQ(ReadShellFolder("PROGRAMS"), GetProgramsPath());  // names ignore case
  EXPECT_EQ(ReadShellFolder("Desktop"), "");

  // A relative data home is invalid and ignored.
  ScopedEnv relative("XDG_DATA_HOME", "data");
  ScopedEnv home("HOME", dir.File("home").c_str());
  EXPECT_EQ(GetProgramsPath(), dir.File("home") + "/.local/share/applications");
}

TEST_F(ShortcutTest, WritesAValidEntryInNewFolders) {
  ASSERT_TRUE(Create("/opt/lettrance/bin/lettrance"));
  EXPECT_EQ(TempDir::Read(EntryFile()),
            "[Desktop Entry]\n"
            "Type=Application\n"
            "Name=Lettrance\n"
            "Comment=Set up the text-animation screen saver\n"
            "Exec=/opt/lettrance/bin/lettrance\n"
            "Path=/opt/lettrance/bin\n"
            "Icon=preferences-desktop-screensaver\n"
            "Terminal=false\n"
            "Categories=Settings;DesktopSettings;\n");
  struct stat status {};
  ASSERT_EQ(stat(EntryFile().c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 0444, 0444u);  // readable for menus of every kind
  EXPECT_TRUE(Validates(EntryFile()));
}

TEST_F(ShortcutTest, FolderWithTrailingSlashGetsNoSecond) {
  ScopedEnv slash("XDG_DATA_HOME", (dir.File("data") + "/").c_str());
  EXPECT_EQ(ShortcutFilePath("Lettrance", "Vandor\\Screensaver", true),
            dir.File("data") + "/applications/Vandor/Screensaver/Lettrance.desktop");
}

TEST_F(ShortcutTest, ExecQuotesWhatTheRulesReserve) {
  // Quoted for the space and the $, with \ " ` $ escaped inside the quotes;
  // % doubled; then every \ doubled again as the value is a string.
  const std::string target = "/tmp/My Apps/Lett$rance 100%/bin\\x";
  ASSERT_TRUE(Create(target, {"/c", "", "a\"b"}));
  const std::string text = TempDir::Read(EntryFile());
  EXPECT_NE(text.find("\nExec=\"/tmp/My Apps/Lett\\\\$rance 100%%/bin\\\\\\\\x\" /c \"\" "
                      "\"a\\\\\"b\"\n"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("\nPath=/tmp/My Apps/Lett$rance 100%\n"), std::string::npos) << text;
  EXPECT_TRUE(Validates(EntryFile()));

  EXPECT_EQ(QuoteExecArgument("~user"), "\"~user\"");
  EXPECT_EQ(QuoteExecArgument("back`tick"), "\"back\\`tick\"");
  EXPECT_EQ(QuoteExecArgument("50%"), "50%%");
  EXPECT_EQ(EscapeEntryValue(" a\tb\nc\r"), "\\sa\\tb\\nc\\r");
}

TEST_F(ShortcutTest, ExistingEntryIsReplacedAtomically) {
  ASSERT_TRUE(Create("/old/lettrance"));
  std::ifstream oldReader(EntryFile());
  struct stat before {};
  ASSERT_EQ(stat(EntryFile().c_str(), &before), 0);

  ASSERT_TRUE(Create("/new/lettrance"));
  struct stat after {};
  ASSERT_EQ(stat(EntryFile().c_str(), &after), 0);
  EXPECT_NE(before.st_ino, after.st_ino);  // a new file, not rewritten in place
  std::stringstream oldText;
  oldText << oldReader.rdbuf();
  EXPECT_NE(oldText.str().find("Exec=/old/lettrance\n"), std::string::npos);
  EXPECT_NE(TempDir::Read(EntryFile()).find("Exec=/new/lettrance\n"), std::string::npos);

  int files = 0;
  for (const auto& entry : fs::directory_iterator(fs::path(EntryFile()).parent_path())) {
    ++files;
    EXPECT_EQ(entry.path().filename(), "Lettrance.desktop");
  }
  EXPECT_EQ(files, 1);  // no temporary file left behind
}

TEST_F(ShortcutTest, NothingIsWrittenForTextsAnEntryCannotHold) {
  EXPECT_FALSE(Create("/opt/bell\x07/lettrance"));
  EXPECT_FALSE(Create("/opt/\xff\xfe/lettrance"));    // not UTF-8
  EXPECT_FALSE(Create("/opt/\xc0\xaf/lettrance"));    // overlong '/'
  EXPECT_FALSE(Create("/opt/lettrance", {"x\x1b"}));  // escape in an argument
  EXPECT_FALSE(fs::exists(EntryFile()));
  EXPECT_FALSE(CreateShortcut("../Lettrance", "/opt/lettrance", {}, "Vandor", true));
  EXPECT_FALSE(CreateShortcut("", "/opt/lettrance", {}, "Vandor", true));

  ASSERT_TRUE(Create("/opt/Lettrance \xc3\xa9t\xc3\xa9/lettrance"));  // UTF-8 is fine
  EXPECT_TRUE(Validates(EntryFile()));
}

TEST_F(ShortcutTest, UnusableFolderReportsFailure) {
  TempDir::Write(dir.File("file"), "not a folder");
  ScopedEnv onFile("XDG_DATA_HOME", dir.File("file").c_str());
  EXPECT_FALSE(Create("/opt/lettrance"));
}

}  // namespace
