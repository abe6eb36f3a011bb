#include "engine/Int32.h"

#include <gtest/gtest.h>

namespace {

int32_t V(Int32 v) {
  return v.Get();
}

TEST(Int32Test, DivisionTruncatesTowardZero) {
  EXPECT_EQ(V(Int32(-1400) / 6), -233);
  EXPECT_EQ(V(Int32(1400) / -6), -233);
  EXPECT_EQ(V(Int32(-7) / 6), -1);
  EXPECT_EQ(V(Int32(-5) / 2), -2);
  EXPECT_EQ(V(Int32(-7) % 3), -1);
  EXPECT_EQ(V(Int32(7) % -3), 1);
}

TEST(Int32Test, ShiftRoundsTowardMinusInfinity) {
  EXPECT_EQ(V(Int32(-600) >> 12), -1);
  EXPECT_EQ(V(Int32(-4096) >> 12), -1);
  EXPECT_EQ(V(Int32(-4097) >> 12), -2);
}

TEST(Int32Test, OverflowWrapsAsTwosComplement) {
  EXPECT_EQ(V(Int32(INT32_MAX) + 1), INT32_MIN);
  EXPECT_EQ(V(Int32(INT32_MIN) - 1), INT32_MAX);
  EXPECT_EQ(V(Int32(50752) * 50752), -1719201792);
  EXPECT_EQ(V(-Int32(INT32_MIN)), INT32_MIN);
  EXPECT_EQ(V(Abs(INT32_MIN)), INT32_MIN);
  EXPECT_EQ(V(Abs(-9)), 9);
}

TEST(Int32Test, DivisionEdgeCasesDoNotTrap) {
  EXPECT_EQ(V(Int32(INT32_MIN) / -1), INT32_MIN);
  EXPECT_EQ(V(Int32(INT32_MIN) % -1), 0);
  EXPECT_EQ(V(Int32(5) / 0), 0);
  EXPECT_EQ(V(Int32(5) % 0), 0);
}

}  // namespace
