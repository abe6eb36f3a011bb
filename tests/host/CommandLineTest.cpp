#include "host/CommandLine.h"

#include <gtest/gtest.h>

namespace {

TEST(CommandLineTest, FirstLetterAfterOneSwitchSignSelectsTheMode) {
  EXPECT_EQ(ParseCommandLine(std::vector<std::string>{}).RunMode, rmConfigure);  // no argument
  const std::pair<TRunMode, std::vector<const char*>> cases[] = {
      {rmConfigure, {"", "/", "-c", "/c:1234", "Config"}},
      {rmRun, {"/s", "-S", "x", "12", "//p", "-/c", " /c", "\xc3\xa4", "-rooted"}},
      {rmPreview, {"/p", "-P", "p", "/preview"}},
      {rmChangePassword, {"/a", "-A"}}};
  for (const auto& [mode, firsts] : cases) {
    for (const char* first : firsts) {
      const TCommandLine line = ParseCommandLine({first, "1234"});
      EXPECT_EQ(line.RunMode, mode) << first;
      EXPECT_EQ(line.Error, "") << first;
    }
  }
  EXPECT_EQ(ParseCommandLine({"/c:1234"}).Window, 0u);  // the id after the colon is not used
}

TEST(CommandLineTest, WindowIdIsA32BitNumberDecimalOrHexadecimal) {
  EXPECT_EQ(ParseCommandLine({"/p", "1234"}).Window, 1234u);
  EXPECT_EQ(ParseCommandLine({"-a", "0"}).Window, 0u);
  EXPECT_EQ(ParseCommandLine({"p", "004294967295"}).Window, 4294967295u);
  EXPECT_EQ(ParseCommandLine({"/p", "0x1A"}).Window, 26u);
  EXPECT_EQ(ParseCommandLine({"/p", "0Xffffffff"}).Window, 4294967295u);
  for (const char* second :
       {"abc", "12a", "-5", "+5", " 5", "0x", "x1A", "0x1G", "0x100000000", "4294967296"}) {
    EXPECT_EQ(ParseCommandLine({"/p", second}).Error,
              std::string("\"/p\" needs the id of an X11 window (decimal or 0x... "
                          "hexadecimal) as the second argument, but \"") +
                  second + "\" is not one.");
  }
  EXPECT_EQ(ParseCommandLine({"-A"}).Error,
            "\"-A\" needs the id of an X11 window (decimal or 0x... hexadecimal) as "
            "the second argument, but none was given.");
  EXPECT_NE(ParseCommandLine({"/p:1234"}).Error, "");
  EXPECT_EQ(BadCommandLineExitCode, 2);
}

TEST(CommandLineTest, OnlyTheFirstTwoArgumentsCount) {
  const char* argv[] = {"lettrance", "/P", "77", "/s", nullptr};
  const TCommandLine line = ParseCommandLine(4, argv);
  EXPECT_EQ(line.RunMode, rmPreview);
  EXPECT_EQ(line.Window, 77u);
}

}  // namespace
