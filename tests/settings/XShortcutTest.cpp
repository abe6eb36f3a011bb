#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "settings/DesktopEntryText.h"
#include "settings/XShortcutUnit.h"
#include "settings/XWinPathUnit.h"
#include "tests/support/ScopedEnv.h"
#include "tests/support/TempDir.h"

namespace {

class ShortcutTest : public ::testing::Test {
 protected:
  std::string EntryFile() const {
    return dir.File("data/applications/Vandor/Screensaver/Lettrance.desktop");
  }
  bool Create(const std::string& target, const std::vector<std::string>& arguments = {}) {
    return CreateShortcut("Lettrance", target, arguments, "Vandor\\Screensaver", true);
  }
  std::string Entry() const { return TempDir::Read(EntryFile()); }
  bool Validates() const {
    return std::system(("desktop-file-validate '" + EntryFile() + "'").c_str()) == 0;
  }
  TempDir dir;
  ScopedEnv dataHome{"XDG_DATA_HOME", dir.File("data").c_str()};
};

TEST_F(ShortcutTest, ProgramsFolderFollowsTheDataHome) {
  EXPECT_EQ(GetProgramsPath(), dir.File("data/applications"));
  EXPECT_EQ(GetStartMenuPath(), GetProgramsPath());
  EXPECT_EQ(ReadShellFolder("Desktop"), "");
  {
    ScopedEnv slash("XDG_DATA_HOME", dir.File("data/").c_str());  // no second slash
    EXPECT_EQ(ShortcutFilePath("Lettrance", "Vandor\\Screensaver", true), EntryFile());
  }
  ScopedEnv relative("XDG_DATA_HOME", "data");  // invalid, so ignored
  ScopedEnv home("HOME", dir.File("home").c_str());
  EXPECT_EQ(GetProgramsPath(), dir.File("home/.local/share/applications"));
}

TEST_F(ShortcutTest, WritesAValidEntryInNewFolders) {
  ASSERT_TRUE(Create("/opt/lettrance/bin/lettrance"));
  EXPECT_EQ(Entry(),
            "[Desktop Entry]\nType=Application\nName=Lettrance\n"
            "Comment=Set up the text-animation screen saver\n"
            "Exec=/opt/lettrance/bin/lettrance\nPath=/opt/lettrance/bin\n"
            "Icon=preferences-desktop-screensaver\nTerminal=false\n"
            "Categories=Settings;DesktopSettings;\n");
  struct stat status {};
  ASSERT_EQ(stat(EntryFile().c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 0444, 0444u);  // menus read it
  EXPECT_TRUE(Validates());
}

TEST_F(ShortcutTest, ExecQuotesWhatTheRulesReserve) {
  // Quoted for the space, with \ " ` $ escaped inside; % doubled; then every
  // backslash doubled again because the value is a string.
  ASSERT_TRUE(Create("/tmp/My Apps/Lett$rance 100%/bin\\x", {"/c", "", "a`b", "50%", "~"}));
  const std::string entry = Entry();
  EXPECT_NE(entry.find("\nExec=\"/tmp/My Apps/Lett\\\\$rance 100%%/bin\\\\\\\\x\" /c \"\" "
                       "\"a\\\\`b\" 50%% \"~\"\n"),
            std::string::npos)
      << entry;
  EXPECT_NE(entry.find("\nPath=/tmp/My Apps/Lett$rance 100%\n"), std::string::npos) << entry;
  EXPECT_TRUE(Validates());
}

TEST(DesktopEntryValueTest, OnlyALeadingBlankAndControlCharactersAreEscaped) {
  const std::pair<std::string, std::string> cases[] = {
      {" Lettrance", "\\sLettrance"},  // a reader would drop the blank
      {"Lett rance ", "Lett rance "},
      {"a\\b", "a\\\\b"},
      {"1\n2\t3\r", "1\\n2\\t3\\r"},
  };
  for (const auto& [value, written] : cases) EXPECT_EQ(EscapeEntryValue(value), written) << value;
}

TEST_F(ShortcutTest, ExistingEntryIsReplacedAtomically) {
  ASSERT_TRUE(Create("/old/lettrance"));
  std::ifstream oldReader(EntryFile());
  ASSERT_TRUE(Create("/new/lettrance"));
  std::stringstream oldText;
  oldText << oldReader.rdbuf();  // a reader of the old file still sees all of it
  EXPECT_NE(oldText.str().find("Exec=/old/lettrance\n"), std::string::npos);
  EXPECT_NE(Entry().find("Exec=/new/lettrance\n"), std::string::npos);
  const auto folder = std::filesystem::path(EntryFile()).parent_path();
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 1);  // no temp file
}

TEST_F(ShortcutTest, NothingIsWrittenThatAnEntryCannotHold) {
  EXPECT_FALSE(Create("/opt/bell\x07/lettrance"));
  EXPECT_FALSE(Create("/opt/\xc0\xaf/lettrance"));    // not UTF-8 (an overlong '/')
  EXPECT_FALSE(Create("/opt/lettrance", {"x\x1b"}));  // escape in an argument
  EXPECT_FALSE(CreateShortcut("../Lettrance", "/opt/lettrance", {}, "Vandor", true));
  EXPECT_FALSE(std::filesystem::exists(dir.File("data/applications")));

  ASSERT_TRUE(Create("/opt/\xc3\xa9t\xc3\xa9/lettrance"));  // UTF-8 is fine
  EXPECT_TRUE(Validates());

  TempDir::Write(dir.File("file"), "");
  ScopedEnv onFile("XDG_DATA_HOME", dir.File("file").c_str());  // folder cannot be made
  EXPECT_FALSE(Create("/opt/lettrance"));
}

}  // namespace
