#include "engine/XSinusUnit.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

int32_t Expected(int i, double step) {
  return static_cast<int32_t>(std::nearbyint(std::sin(i * step) * 4096));
}

TEST(SineTableTest, EveryEntryIsTheRoundedSineWithTheFiveDigitStep) {
  for (int i = 0; i < 4096; ++i) {
    ASSERT_EQ(SineTable[i], Expected(i, 3.14159 / 2048)) << "entry " << i;
    ASSERT_EQ(CosineTable[i], SineTable[(i + 1024) % 4096]) << "entry " << i;
  }
}

TEST(SineTableTest, KnownEntries) {
  EXPECT_EQ(SineTable[0], 0);
  EXPECT_EQ(SineTable[1], 6);
  EXPECT_EQ(SineTable[512], 2896);
  EXPECT_EQ(SineTable[1024], 4096);
  EXPECT_EQ(SineTable[1402], 3427);  // 3426 with the exact constant
  EXPECT_EQ(SineTable[2048], 0);
  EXPECT_EQ(SineTable[2049], -6);
  EXPECT_EQ(SineTable[3072], -4096);
  EXPECT_EQ(SineTable[4095], -6);
}

TEST(SineTableTest, DiffersFromAnExactTableInNineteenEntries) {
  int differences = 0;
  for (int i = 0; i < 4096; ++i) differences += SineTable[i] != Expected(i, M_PI / 2048) ? 1 : 0;
  EXPECT_EQ(differences, 19);
}

TEST(SinMulTest, WorkedValues) {
  EXPECT_EQ(SinMul(1024, 100), 100);
  EXPECT_EQ(SinMul(-1024, 100), -100);
  EXPECT_EQ(SinMul(512, 1000), 707);    // 2896000 >> 12
  EXPECT_EQ(SinMul(512, -1000), -708);  // the shift rounds down, not toward zero
  EXPECT_EQ(SinMul(2049, 100), -1);     // -600 >> 12
  EXPECT_EQ(CosMul(2048, 100), -100);
  EXPECT_EQ(CosMul(-1, 4096), 4096);  // angle 4095: entry 1023 of the sine
}

TEST(SinMulTest, CosineOfZeroGivesTheAmplitudeAndSineOfZeroNothing) {
  for (int32_t m : {0, 1, -1, 7, 1000, -4095, 524287, -524288}) {
    EXPECT_EQ(CosMul(0, m), m);
    EXPECT_EQ(SinMul(0, m), 0);
  }
}

TEST(SinMulTest, OnlyTheLowTwelveBitsOfTheAngleCount) {
  for (int32_t a = -8192; a < 8192; ++a) {
    ASSERT_EQ(SinMul(a + 4096, 1000), SinMul(a, 1000)) << a;
    ASSERT_EQ(CosMul(a - 4096, 333), CosMul(a, 333)) << a;
  }
  EXPECT_EQ(SinMul(INT32_MIN + 1024, 100), 100);
  EXPECT_EQ(SinMul(INT32_MAX, 4096), -6);  // angle 4095
}

TEST(SinMulTest, ProductsBeyondThirtyTwoBitsWrap) {
  // 4096 * 600000 = 2457600000 wraps to -1837367296; >> 12 gives -448576.
  EXPECT_EQ(SinMul(1024, 600000), -448576);
  // 4096 * 2^20 = 2^32 wraps to 0.
  EXPECT_EQ(SinMul(1024, 1 << 20), 0);
}

}  // namespace
