#include "platform/HexDigit.h"

#include <gtest/gtest.h>

namespace {

TEST(HexDigitTest, DigitsOfBothCasesAndTheirNeighbours) {
  const std::pair<char, int> cases[] = {
      {'0', 0},   {'5', 5},   {'9', 9},   {'a', 10},  {'c', 12},  {'f', 15},
      {'A', 10},  {'D', 13},  {'F', 15},
      // The characters just outside each range.
      {'/', -1},  {':', -1},  {'`', -1},  {'g', -1},  {'@', -1},  {'G', -1},
      {' ', -1},  {'\0', -1}, {'x', -1},  {'-', -1},  {'\xff', -1},
  };
  for (const auto& [c, value] : cases) {
    EXPECT_EQ(platform::HexDigit(c), value) << "character " << static_cast<int>(c);
  }
}

TEST(HexDigitTest, ExactlyTwentyTwoCharactersAreDigits) {
  int digits = 0;
  int sum = 0;
  for (int c = -128; c < 128; ++c) {
    const int value = platform::HexDigit(static_cast<char>(c));
    if (value < 0) continue;
    ++digits;
    sum += value;
  }
  EXPECT_EQ(digits, 22);  // 0-9, a-f, A-F
  // 0 + ... + 9 = 45, and 10 + ... + 15 = 75 twice.
  EXPECT_EQ(sum, 45 + 75 + 75);
}

}  // namespace
