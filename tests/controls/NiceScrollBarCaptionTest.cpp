#include <gtest/gtest.h>

#include <climits>

#include "controls/XNiceScrollBarCaption.h"

namespace {

TEST(NiceScrollBarCaptionTest, TagsShowTheValues) {
  const QLocale english(QLocale::English, QLocale::UnitedStates);
  const struct {
    const char* caption;
    int32_t position, position2;
    const char* shown;
  } cases[] = {
      {"Position: <#Pos>", -5, 0, "Position: -5"},
      {"Speed: <#pos> pixels / frame", 6, 0, "Speed: 6 pixels / frame"},
      {"<#DIV2>", 12345, 0, "123.45"},
      {"<#div2>", 123456789, 0, "1,234,567.89"},
      {"<#DIV0>", 12345, 0, "12,345"},
      {"<#DIV3>", -5, 0, "-0.005"},
      {"<#MUL1>", 7, 0, "70"},
      {"<#MUL9>", INT32_MIN, 0, "-2147483648000000000"},
      {"<#SHL>", 3, 0, "8"},
      {"<#SHL>", 31, 0, "-2147483648"},
      {"<#SHL>", 35, 0, "8"},
      {"<#SHL>", -1, 0, "-2147483648"},
      {"Range: <#POS> - <~POS>", 10, 20, "Range: 10 - 20"},
      // "<~" is only read once no "<#" follows.
      {"<~POS> <#POS>", 10, 20, "<~POS> 10"},
      {"", 1, 2, ""},
      {"no tags", 1, 2, "no tags"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ExpandLabelCaption(c.caption, c.position, c.position2, english), c.shown)
        << c.caption << " with " << c.position;
  }
  const QLocale german(QLocale::German, QLocale::Germany);
  EXPECT_EQ(ExpandLabelCaption("<#DIV2> m", 123456789, 0, german), "1.234.567,89 m");
}

TEST(NiceScrollBarCaptionTest, AnythingElseIsShownAsTyped) {
  const QLocale english(QLocale::English, QLocale::UnitedStates);
  const char* typed[] = {
      "<#ABC>", "a <#",   "<#PO",    "<#POS",  "x <#POS", "<#POSx", "<#SHL",
      "<#DIV",  "<#DIV2", "<#DIV2x", "<#MUL>", "<#MULx>", "<~",     "<~PO",
  };
  for (const char* caption : typed) {
    EXPECT_EQ(ExpandLabelCaption(QString::fromUtf8(caption), 1, 2, english),
              QString::fromUtf8(caption))
        << caption;
  }
  // After a marker shown as typed, the scan goes on right behind it.
  EXPECT_EQ(ExpandLabelCaption("<#<#POS>", 1, 2, english), "<#1");
  EXPECT_EQ(ExpandLabelCaption("<#ABC><~POS>", 1, 2, english), "<#ABC>2");
}

}  // namespace
