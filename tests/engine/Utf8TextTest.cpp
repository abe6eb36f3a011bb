#include "engine/Utf8Text.h"

#include <gtest/gtest.h>

namespace {

TEST(Utf8TextTest, OneCodePointPerLetter) {
  EXPECT_EQ(DecodeUtf8("Abc"), U"Abc");
  EXPECT_EQ(DecodeUtf8("Gr\xC3\xBC\xC3\x9F"), U"Gr\u00FC\u00DF");  // two-byte
  EXPECT_EQ(DecodeUtf8("\xE2\x82\xAC"), U"\u20AC");                // three-byte
  EXPECT_EQ(DecodeUtf8("\xF0\x9F\x98\x80!"), U"\U0001F600!");      // four-byte
  EXPECT_EQ(DecodeUtf8(std::string_view("a\0b", 3)), std::u32string(U"a\0b", 3));
  EXPECT_EQ(DecodeUtf8(""), U"");
}

TEST(Utf8TextTest, EveryInvalidByteBecomesOneReplacementCharacter) {
  EXPECT_EQ(DecodeUtf8("\x80"), U"\uFFFD");  // stray continuation
  EXPECT_EQ(DecodeUtf8("a\xFF"
                       "b"),
            U"a\uFFFDb");                                        // never valid
  EXPECT_EQ(DecodeUtf8("\xE2\x82"), U"\uFFFD\uFFFD");            // truncated at the end
  EXPECT_EQ(DecodeUtf8("\xE2\x82Z"), U"\uFFFD\uFFFDZ");          // truncated before a letter
  EXPECT_EQ(DecodeUtf8("\xC0\xAF"), U"\uFFFD\uFFFD");            // overlong '/'
  EXPECT_EQ(DecodeUtf8("\xED\xA0\x80"), U"\uFFFD\uFFFD\uFFFD");  // surrogate
  EXPECT_EQ(DecodeUtf8("\xF4\x90\x80\x80"), std::u32string(4, U'\uFFFD'));  // above U+10FFFF
  EXPECT_EQ(DecodeUtf8("\xF4\x8F\xBF\xBF"), U"\U0010FFFF");
}

}  // namespace
