#include "platform/RandomNumbers.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace {

class RandomNumbersTest : public ::testing::Test {
 protected:
  void TearDown() override { platform::SetRandomSource({}); }
};

TEST_F(RandomNumbersTest, EmptyRangesGiveZeroWithoutDrawing) {
  int draws = 0;
  platform::SetRandomSource([&](int32_t) {
    ++draws;
    return 5;
  });
  EXPECT_EQ(platform::Random(0), 0);
  EXPECT_EQ(platform::Random(-7), 0);
  EXPECT_EQ(draws, 0);
  EXPECT_EQ(platform::Random(10), 5);
  EXPECT_EQ(draws, 1);
}

TEST_F(RandomNumbersTest, ScriptedAnswersAreKeptInRange) {
  platform::SetRandomSource([](int32_t n) { return n + 3; });
  EXPECT_EQ(platform::Random(19), 18);
  platform::SetRandomSource([](int32_t) { return -4; });
  EXPECT_EQ(platform::Random(19), 0);
}

TEST_F(RandomNumbersTest, GeneratorCoversTheRangeAndRepeatsForASeed) {
  platform::SeedRandom(42);
  std::set<int32_t> seen;
  std::vector<int32_t> first;
  for (int i = 0; i < 2000; ++i) {
    const int32_t v = platform::Random(19);
    ASSERT_GE(v, 0);
    ASSERT_LT(v, 19);
    seen.insert(v);
    first.push_back(v);
  }
  EXPECT_EQ(seen.size(), 19u);
  platform::SeedRandom(42);
  for (int32_t v : first) ASSERT_EQ(platform::Random(19), v);
  EXPECT_EQ(platform::Random(1), 0);
}

}  // namespace
