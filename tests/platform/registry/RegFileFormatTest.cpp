#include "platform/registry/RegFileFormat.h"

#include <gtest/gtest.h>

#include "platform/registry/RegistryStore.h"

using namespace platform;

namespace {

std::vector<uint8_t> Bytes(std::string_view s, bool terminate = false) {
  std::vector<uint8_t> v(s.begin(), s.end());
  if (terminate) v.push_back(0);
  return v;
}

// The data of a value, or a readable failure when it is missing.
testing::AssertionResult HasData(const RegHive& hive, std::string_view key, std::string_view name,
                                 const std::vector<uint8_t>& expected) {
  const RegValue* value = hive.FindValue(key, name);
  if (value == nullptr) return testing::AssertionFailure() << "no value " << name;
  if (value->data != expected) return testing::AssertionFailure() << name << " has other data";
  return testing::AssertionSuccess();
}

RegHive RoundTrip(const RegHive& hive) {
  RegParseResult parsed = ParseRegFile(FormatRegFile(hive));
  EXPECT_TRUE(parsed.errors.empty()) << parsed.errors.front().message;
  return parsed.hive;
}

}  // namespace

TEST(RegFileFormat, WritesReadableLinesForEachType) {
  RegHive hive;
  const std::string key = "Software\\Vandor\\ScreenSaver\\Lettrance";
  hive.SetValue(key, "TimerInterval", REG_DWORD, {0x0a, 0, 0, 0});
  hive.SetValue(key, "Text", REG_SZ, Bytes("a\rb\"c\\", true));
  hive.SetValue(key, "Blob", REG_BINARY, {0x01, 0xff});
  hive.SetValue(key, "Path", REG_EXPAND_SZ, Bytes("%HOME%", true));
  hive.SetValue(key, "Odd", 11, {0x07});
  hive.SetValue(key, "", REG_SZ, Bytes("default", true));

  EXPECT_EQ(FormatRegFile(hive),
            "Windows Registry Editor Version 5.00\n"
            "\n[HKEY_CURRENT_USER\\Software]\n"
            "\n[HKEY_CURRENT_USER\\Software\\Vandor]\n"
            "\n[HKEY_CURRENT_USER\\Software\\Vandor\\ScreenSaver]\n"
            "\n[HKEY_CURRENT_USER\\Software\\Vandor\\ScreenSaver\\Lettrance]\n"
            "\"TimerInterval\"=dword:0000000a\n"
            "\"Text\"=\"a\\rb\\\"c\\\\\"\n"
            "\"Blob\"=hex:01,ff\n"
            "\"Path\"=hex(2):25,48,4f,4d,45,25,00\n"
            "\"Odd\"=hex(b):07\n"
            "@=\"default\"\n");
}

TEST(RegFileFormat, StringsRoundTripExactly) {
  RegHive hive;
  const std::vector<std::string> texts = {"line1\rline2",
                                          "line1\nline2",
                                          "line1\r\nline2",
                                          "Grüße, 日本語 🎉",
                                          "",
                                          "tab\there\x01\x7f",
                                          "\\x41 stays literal",
                                          "bad utf8 \xC3\x28 \xFF end",
                                          "\"quoted\""};
  for (size_t i = 0; i < texts.size(); ++i) {
    hive.SetValue("K", "v" + std::to_string(i), REG_SZ, Bytes(texts[i], true));
  }
  // Strings without a terminator or with one inside still come back unchanged.
  hive.SetValue("K", "unterminated", REG_SZ, Bytes("abc"));
  hive.SetValue("K", "inner zero", REG_SZ, Bytes(std::string("a\0b", 3), true));
  hive.SetValue("K", "short dword", REG_DWORD, {1, 2});
  hive.SetValue("K", "name with \"quotes\"\r\n", REG_DWORD, {1, 2, 3, 4});
  EXPECT_EQ(RoundTrip(hive), hive);

  // The file stays valid UTF-8: invalid bytes are escaped, valid ones kept.
  const std::string text = FormatRegFile(hive);
  EXPECT_NE(text.find("Grüße, 日本語 🎉"), std::string::npos);
  EXPECT_NE(text.find("bad utf8 \\xc3( \\xff end"), std::string::npos);
}

TEST(RegFileFormat, KeyAndValueNamesIgnoreCaseButKeepIt) {
  RegHive hive;
  hive.SetValue("Software\\Vandor", "Speed", REG_DWORD, {6, 0, 0, 0});
  hive.SetValue("SOFTWARE\\vandor", "SPEED", REG_DWORD, {7, 0, 0, 0});
  ASSERT_NE(hive.FindKey("software\\VANDOR"), nullptr);
  EXPECT_EQ(hive.FindKey("software\\VANDOR")->path, "Software\\Vandor");
  ASSERT_EQ(hive.FindKey("Software\\Vandor")->values.size(), 1u);
  ASSERT_NE(hive.FindValue("Software\\Vandor", "speed"), nullptr);
  EXPECT_EQ(hive.FindValue("Software\\Vandor", "speed")->name, "Speed");
  EXPECT_TRUE(HasData(hive, "Software\\Vandor", "speed", {7, 0, 0, 0}));
  EXPECT_EQ(RoundTrip(hive), hive);
}

TEST(RegFileFormat, ReadsWhatPeopleWrite) {
  const std::string text =
      "\xEF\xBB\xBFWindows Registry Editor Version 5.00\r\n"
      "; a comment\r\n"
      "\r\n"
      "[hkey_current_user\\A\\\\B\\]\r\n"
      "  \"n\" = dword:A  \r\n"
      "\"h\"=hex:01,02,\\\r\n"
      "  03\r\n"
      "\"e\"=hex:\r\n";
  RegParseResult parsed = ParseRegFile(text);
  ASSERT_TRUE(parsed.errors.empty()) << parsed.errors.front().message;
  EXPECT_TRUE(HasData(parsed.hive, "A\\B", "n", {10, 0, 0, 0}));
  EXPECT_TRUE(HasData(parsed.hive, "a\\b", "H", {1, 2, 3}));
  EXPECT_TRUE(HasData(parsed.hive, "a\\b", "e", {}));
}

TEST(RegFileFormat, ReportsBadLinesAndKeepsTheRest) {
  const std::string text =
      "Windows Registry Editor Version 5.00\n"
      "\n"
      "[HKEY_CURRENT_USER\\Good]\n"
      "\"a\"=dword:00000001\n"
      "\"b\"=dword:xyz\n"
      "\"c\"=\"unterminated\n"
      "[HKEY_LOCAL_MACHINE\\Other]\n"
      "\"d\"=dword:00000004\n"
      "[HKEY_CURRENT_USER\\Good]\n"
      "\"e\"=\"bad \\q escape\"\n"
      "garbage\n"
      "\"f\"=dword:00000006\n"
      "\"g\"=dword:100000000\n"
      "; a comment that ends in a backslash \\\n"
      "\"h\"=dword:00000008\n";
  RegParseResult parsed = ParseRegFile(text);
  std::vector<int> lines;
  for (const auto& error : parsed.errors) lines.push_back(error.line);
  EXPECT_EQ(lines, (std::vector<int>{5, 6, 7, 8, 10, 11, 13}));
  EXPECT_NE(parsed.hive.FindValue("Good", "a"), nullptr);
  EXPECT_NE(parsed.hive.FindValue("Good", "f"), nullptr);
  EXPECT_EQ(parsed.hive.FindValue("Good", "b"), nullptr);
  EXPECT_EQ(parsed.hive.FindValue("Good", "g"), nullptr);  // nine digits: too large, not 0
  EXPECT_TRUE(HasData(parsed.hive, "Good", "h", {8, 0, 0, 0}));  // not swallowed by the comment
  EXPECT_EQ(parsed.hive.FindKey("Other"), nullptr);

  EXPECT_EQ(ParseRegFile("[HKEY_CURRENT_USER\\X]\n").errors.size(), 1u);  // no header
  EXPECT_EQ(ParseRegFile("Windows Registry Editor Version 5.00\n\"v\"=dword:1\n").errors.size(),
            1u);  // a value before any key
}
