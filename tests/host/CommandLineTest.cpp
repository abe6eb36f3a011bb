#include "host/CommandLine.h"

#include <gtest/gtest.h>

namespace {

TCommandLine Parse(std::vector<std::string> arguments) {
  return ParseCommandLine(arguments);
}

TEST(CommandLineTest, ModesAreNumberedInOrder) {
  EXPECT_EQ(static_cast<int>(rmChangePassword), 0);
  EXPECT_EQ(static_cast<int>(rmPreview), 1);
  EXPECT_EQ(static_cast<int>(rmConfigure), 2);
  EXPECT_EQ(static_cast<int>(rmRun), 3);
}

TEST(CommandLineTest, NothingOrCSelectsConfigure) {
  EXPECT_EQ(Parse({}).RunMode, rmConfigure);
  EXPECT_EQ(Parse({""}).RunMode, rmConfigure);
  EXPECT_EQ(Parse({"/"}).RunMode, rmConfigure);  // empty once the switch sign is gone
  EXPECT_EQ(Parse({"-"}).RunMode, rmConfigure);
  EXPECT_EQ(Parse({"/c"}).RunMode, rmConfigure);
  EXPECT_EQ(Parse({"C"}).RunMode, rmConfigure);
  EXPECT_EQ(Parse({"config", "whatever"}).RunMode, rmConfigure);  // second ignored

  // Only the first letter counts: the id after the colon is not used.
  const TCommandLine withId = Parse({"/c:1234"});
  EXPECT_EQ(withId.RunMode, rmConfigure);
  EXPECT_EQ(withId.Window, 0u);
  EXPECT_EQ(withId.Error, "");
}

TEST(CommandLineTest, AnythingElseRunsTheSaver) {
  for (const char* first : {"/s", "-S", "s", "x", "12", "//p", "--c", "/-a", " /c", "\xc3\xa4"}) {
    const TCommandLine line = Parse({first, "junk"});
    EXPECT_EQ(line.RunMode, rmRun) << first;
    EXPECT_EQ(line.Error, "") << first;
  }
}

TEST(CommandLineTest, PreviewAndPasswordTakeTheWindowId) {
  for (const char* first : {"/p", "-P", "p", "/preview", "-p:99"}) {
    const TCommandLine line = Parse({first, "1234"});
    EXPECT_EQ(line.RunMode, rmPreview) << first;
    EXPECT_EQ(line.Window, 1234u) << first;
    EXPECT_EQ(line.Error, "") << first;
  }
  const TCommandLine password = Parse({"/a", "1234"});
  EXPECT_EQ(password.RunMode, rmChangePassword);
  EXPECT_EQ(password.Window, 1234u);
  EXPECT_EQ(password.Error, "");

  EXPECT_EQ(Parse({"-A", "0"}).Window, 0u);  // no owner window
  EXPECT_EQ(Parse({"/p", "4294967295"}).Window, 4294967295u);
  EXPECT_EQ(Parse({"/p", "0000000000042"}).Window, 42u);
}

TEST(CommandLineTest, WindowIdThatIsNoNumberIsAnError) {
  for (const char* second : {"abc", "12a", "-5", "+5", " 5", "5 ", "0x1A", "1.5", "4294967296",
                             "99999999999999999999"}) {
    const TCommandLine line = Parse({"/p", second});
    EXPECT_EQ(line.RunMode, rmPreview) << second;
    EXPECT_EQ(line.Error,
              std::string("Lettrance: \"/p\" needs the decimal id of an X11 window as the second "
                          "argument, but \"") +
                  second + "\" is not one.")
        << second;
  }
  EXPECT_EQ(Parse({"-a"}).Error,
            "Lettrance: \"-a\" needs the decimal id of an X11 window as the second argument, but "
            "none was given.");
  EXPECT_NE(Parse({"/p:1234"}).Error, "");  // the id must be a separate argument
  EXPECT_EQ(BadCommandLineExitCode, 2);
}

TEST(CommandLineTest, ArgcArgvFormLooksAtTwoArgumentsOnly) {
  const char* argv[] = {"lettrance", "/P", "77", "/s", nullptr};
  const TCommandLine line = ParseCommandLine(4, argv);
  EXPECT_EQ(line.RunMode, rmPreview);
  EXPECT_EQ(line.Window, 77u);
  const char* alone[] = {"lettrance", nullptr};
  EXPECT_EQ(ParseCommandLine(1, alone).RunMode, rmConfigure);
}

}  // namespace
