#include "host/LongOptions.h"

#include <gtest/gtest.h>

#include "host/HostedMode.h"

namespace {

TEST(LongOptionsTest, EachSettingOptionSetsOnlyItsSetting) {
  struct Case {
    std::vector<std::string> args;
    TGlobals expected;  // starting from `stored` below
  };
  TGlobals stored = DefaultGlobals();
  stored.FontName = "DejaVu Sans";
  stored.DateTimeMode = 3;  // so that "none" is seen to change it
  auto with = [&](auto change) {
    TGlobals g = stored;
    change(g);
    return g;
  };
  const Case cases[] = {
      {{"--interval", "0"}, with([](TGlobals& g) { g.TimerInterval = 0; })},
      {{"--speed=8"}, with([](TGlobals& g) { g.Speed = 8; })},
      {{"-speed", "20"}, with([](TGlobals& g) { g.Speed = 20; })},
      {{"--font", "DejaVu Serif"}, with([](TGlobals& g) { g.FontName = "DejaVu Serif"; })},
      // Not installed: the first installed fallback, as for a stored face.
      {{"--font", "No Such Face"}, with([](TGlobals& g) { g.FontName = "Impact"; })},
      {{"--font-size", "200"}, with([](TGlobals& g) { g.FontSize = 200; })},
      {{"--spacing", "0"}, with([](TGlobals& g) { g.FontSpacing = 0; })},
      {{"--color", "#0A1b2C"}, with([](TGlobals& g) { g.FontColor = 0x2C1B0A; })},
      {{"--text", "one\\ntwo\\\\n"}, with([](TGlobals& g) { g.Text = "one\rtwo\\n"; })},
      {{"--desktop"}, with([](TGlobals& g) { g.DesktopFlag = true; })},
      {{"--no-special-effects"}, with([](TGlobals& g) { g.EffectsFlag = false; })},
      {{"--no-random-y"}, with([](TGlobals& g) { g.RandomYFlag = false; })},
      {{"--no-color-fading"}, with([](TGlobals& g) { g.ColorFadingFlag = false; })},
      {{"--no-random-color"}, with([](TGlobals& g) { g.RandomColorFlag = false; })},
      // Wave is effect 1, Zip 5, Near && Far 12, Upside down 14.
      {{"--effects", "Wave,zip"}, with([](TGlobals& g) { g.EffectCode = (1 << 1) | (1 << 5); })},
      {{"--effects", "near-far,UpsideDown"},
       with([](TGlobals& g) { g.EffectCode = (1 << 12) | (1 << 14); })},
      {{"--effects", "all"}, with([](TGlobals& g) { g.EffectCode = -1; })},
      {{"--date-time", "time,short"}, with([](TGlobals& g) { g.DateTimeMode = 6; })},
      {{"--date-time", "5"}, with([](TGlobals& g) { g.DateTimeMode = 5; })},
      {{"--date-time", "none"}, with([](TGlobals& g) { g.DateTimeMode = 0; })},
      // The last one given counts.
      {{"--desktop", "--no-desktop"}, with([](TGlobals& g) { g.DesktopFlag = false; })},
  };
  const std::vector<std::string> installed = {"Default", "DejaVu Sans", "DejaVu Serif", "Impact"};
  for (const Case& c : cases) {
    const TStartOptions options = ParseStartOptions(c.args);
    ASSERT_EQ(options.Error, "") << c.args[0];
    EXPECT_FALSE(options.Overrides.Empty()) << c.args[0];
    TGlobals g = stored;
    const TGlobals& expected = c.expected;
    options.Overrides.ApplyTo(g, installed);
    EXPECT_EQ(g.TimerInterval, expected.TimerInterval) << c.args[0];
    EXPECT_EQ(g.Speed, expected.Speed) << c.args[0];
    EXPECT_EQ(g.FontName, expected.FontName) << c.args[0];
    EXPECT_EQ(g.FontSize, expected.FontSize) << c.args[0];
    EXPECT_EQ(g.FontSpacing, expected.FontSpacing) << c.args[0];
    EXPECT_EQ(g.FontColor, expected.FontColor) << c.args[0];
    EXPECT_EQ(g.Text, expected.Text) << c.args[0];
    EXPECT_EQ(g.DesktopFlag, expected.DesktopFlag) << c.args[0];
    EXPECT_EQ(g.EffectsFlag, expected.EffectsFlag) << c.args[0];
    EXPECT_EQ(g.RandomYFlag, expected.RandomYFlag) << c.args[0];
    EXPECT_EQ(g.ColorFadingFlag, expected.ColorFadingFlag) << c.args[0];
    EXPECT_EQ(g.RandomColorFlag, expected.RandomColorFlag) << c.args[0];
    EXPECT_EQ(g.EffectCode, expected.EffectCode) << c.args[0];
    EXPECT_EQ(g.DateTimeMode, expected.DateTimeMode) << c.args[0];
  }
  EXPECT_TRUE(ParseStartOptions({"/s"}).Overrides.Empty());
}

TEST(LongOptionsTest, BadOptionsAreErrorsThatNameTheArgument) {
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{"--bogus"}, "unknown option \"--bogus\" (lettrance --help lists them)"},
      {{"/s", "--speed"}, "\"--speed\" needs a value: N"},
      {{"--speed", "21"},
       "\"--speed\" needs N (pixels the text moves per frame, 1 to 20), not \"21\""},
      {{"--speed", "-1"},
       "\"--speed\" needs N (pixels the text moves per frame, 1 to 20), not \"-1\""},
      {{"--font-size", "7"}, "\"--font-size\" needs POINTS (font size, 8 to 200), not \"7\""},
      {{"--color", "red"}, "\"--color\" needs #RRGGBB (text colour), not \"red\""},
      {{"--color", "#12345"}, "\"--color\" needs #RRGGBB (text colour), not \"#12345\""},
      {{"--effects", "Wave,Nope"},
       "\"--effects\" needs LIST (effects to pick from, comma-separated (Wave,Zip,...), or all), "
       "not \"Wave,Nope\""},
      {{"--effects", ""},
       "\"--effects\" needs LIST (effects to pick from, comma-separated (Wave,Zip,...), or all), "
       "not \"\""},
      {{"--date-time", "8"},
       "\"--date-time\" needs WHAT (a date/time line: none, or date,time,short (or 0 to 7)), not "
       "\"8\""},
      {{"--desktop=yes"}, "\"--desktop\" takes no value"},
      {{"--window-id", "0xg"},
       "\"--window-id\" needs ID (draw into the X11 window ID (decimal or 0x... hexadecimal)), "
       "not \"0xg\""},
  };
  for (const auto& [args, message] : cases) {
    EXPECT_EQ(ParseStartOptions(args).Error, message) << args[0];
  }
}

TEST(LongOptionsTest, AFileOrAProgramGivenMakesTheTextComeFromThere) {
  const struct {
    std::vector<std::string> args;
    int32_t source;
  } cases[] = {
      {{"--text-program", "fortune"}, tsProgram},
      {{"--text-file", "/q"}, tsFile},
      {{"--text-file", "/q", "--text", "hi"}, tsText},  // the last one counts
      {{"--text-program", "x", "--text-source", "file"}, tsFile},
  };
  for (const auto& c : cases) {
    const TStartOptions options = ParseStartOptions(c.args);
    ASSERT_EQ(options.Error, "") << c.args[0];
    TGlobals g = DefaultGlobals();
    options.Overrides.ApplyTo(g, {"Default"});
    EXPECT_EQ(g.TextSource, c.source) << c.args[0];
  }
  TGlobals g = DefaultGlobals();
  ParseStartOptions({"--text-program", "fortune -s"}).Overrides.ApplyTo(g, {"Default"});
  EXPECT_EQ(g.TextProgram, "fortune -s");
  EXPECT_NE(ParseStartOptions({"--text-program", ""}).Error, "");
  EXPECT_NE(ParseStartOptions({"--text-source", "web"}).Error, "");
}

TEST(LongOptionsTest, EachNumberIsAcceptedAtItsBoundsAndRefusedJustOutside) {
  struct Range {
    const char* option;
    int low, high;
  };
  const Range ranges[] = {
      {"--interval", 0, 1000}, {"--speed", 1, 20},    {"--font-size", 8, 200},
      {"--spacing", 0, 50},    {"--date-time", 0, 7},
  };
  for (const Range& r : ranges) {
    for (const int accepted : {r.low, r.high}) {
      EXPECT_EQ(ParseStartOptions({r.option, std::to_string(accepted)}).Error, "")
          << r.option << ' ' << accepted;
    }
    for (const int refused : {r.low - 1, r.high + 1}) {
      // Below 0 is refused as much as a number too large.
      EXPECT_NE(ParseStartOptions({r.option, std::to_string(refused)}).Error, "")
          << r.option << ' ' << refused;
    }
  }
}

TEST(LongOptionsTest, SwitchesMixWithOptionsAndIdsMayBeHexadecimal) {
  const TStartOptions preview = ParseStartOptions({"--speed", "3", "/p", "0x1A", "--desktop"});
  EXPECT_EQ(preview.Error, "");
  EXPECT_TRUE(preview.ModeGiven);
  EXPECT_EQ(preview.Mode.RunMode, rmPreview);
  EXPECT_EQ(preview.Mode.Window, 26u);
  // A value that looks like a switch is still the option's value.
  EXPECT_EQ(ParseStartOptions({"--text", "/p"}).Mode.RunMode, rmConfigure);
  EXPECT_FALSE(ParseStartOptions({"--text", "/p"}).ModeGiven);
  // One dash: a known option name, else the classic switch.
  EXPECT_TRUE(ParseStartOptions({"-root"}).Root);
  EXPECT_EQ(ParseStartOptions({"-rooted"}).Mode.RunMode, rmRun);
  EXPECT_EQ(ParseStartOptions({"-window-id", "4294967295"}).WindowIdOption, 4294967295u);
  EXPECT_EQ(ParseStartOptions({"--window-id=0XFFFFFFFF"}).WindowIdOption, 4294967295u);
  EXPECT_NE(ParseStartOptions({"--window-id", "0x100000000"}).Error, "");
  EXPECT_TRUE(ParseStartOptions({"/s", "--help"}).Help);
  EXPECT_NE(HelpText().find("--no-random-color"), std::string::npos);
}

TEST(LongOptionsTest, VersionIsASwitchListedInTheHelp) {
  EXPECT_TRUE(ParseStartOptions({"--version"}).Version);
  EXPECT_TRUE(ParseStartOptions({"-version", "/s"}).Version);
  EXPECT_FALSE(ParseStartOptions({"/s"}).Version);
  EXPECT_FALSE(ParseStartOptions({"--help"}).Version);
  EXPECT_EQ(ParseStartOptions({"--version=2"}).Error, "\"--version\" takes no value");
  EXPECT_NE(HelpText().find("\n  --version                   print the version and end\n"),
            std::string::npos)
      << HelpText();
  // The project's version, as the package and the manual page carry it.
  EXPECT_EQ(VersionText(), "lettrance 1.06\n");
}

TEST(HostedModeTest, WhichWindowIsDrawnInto) {
  struct Case {
    std::vector<std::string> args;
    std::optional<std::string> variable;
    bool hosted;
    platform::WindowId window;
    bool error;
  };
  const Case cases[] = {
      // The hosts: the variable alone, with --root, or with /s.
      {{}, "0x600008", true, 0x600008, false},
      {{}, "6291464", true, 6291464, false},
      {{"--root"}, "0x600008", true, 0x600008, false},
      {{"/s"}, "0x600008", true, 0x600008, false},
      {{"--speed", "4"}, "0x600008", true, 0x600008, false},
      // The settings tool's preview: --window-id wins over the variable.
      {{"--root", "--window-id", "0x1234"}, "0x600008", true, 0x1234, false},
      {{"-window-id", "77"}, std::nullopt, true, 77, false},
      // --root outside a host: the root window.
      {{"-root"}, std::nullopt, true, 0, false},
      {{"--root"}, "", true, 0, false},
      // Without any of them, the classic modes.
      {{}, std::nullopt, false, 0, false},
      {{"/s"}, std::nullopt, false, 0, false},
      {{"/p", "55"}, std::nullopt, false, 0, false},
      // An explicit preview, settings or password start keeps its mode.
      {{"/p", "55"}, "0x600008", false, 0, false},
      {{"/c"}, "0x600008", false, 0, false},
      // Contradictions and garbage.
      {{"/c", "--root"}, std::nullopt, false, 0, true},
      {{"/p", "5", "--window-id", "6"}, std::nullopt, false, 0, true},
      {{}, "0x", false, 0, true},
      {{}, "0", false, 0, true},
      {{"--root"}, "window", false, 0, true},
  };
  for (const Case& c : cases) {
    const TStartOptions options = ParseStartOptions(c.args);
    ASSERT_EQ(options.Error, "");
    const THosting hosting = DecideHosting(options, c.variable);
    const std::string label = (c.args.empty() ? std::string("(none)") : c.args[0]) + " with " +
                              c.variable.value_or("(unset)");
    EXPECT_EQ(hosting.Hosted, c.hosted) << label;
    EXPECT_EQ(hosting.Window, c.window) << label;
    EXPECT_EQ(!hosting.Error.empty(), c.error) << label << ": " << hosting.Error;
  }
}

}  // namespace
