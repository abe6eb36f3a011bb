#include "platform/RandomNumbers.h"

#include <algorithm>
#include <chrono>
#include <random>

namespace platform {
namespace {

uint64_t ClockSeed() {
  return static_cast<uint64_t>(std::chrono::system_clock::now().time_since_epoch().count()) ^
         static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
}

std::mt19937_64& Generator() {
  static std::mt19937_64 generator(ClockSeed());
  return generator;
}

RandomSource& ScriptedSource() {
  static RandomSource source;
  return source;
}

}  // namespace

int32_t Random(int32_t n) {
  if (n <= 0) return 0;
  if (ScriptedSource()) return std::clamp(ScriptedSource()(n), 0, n - 1);
  return std::uniform_int_distribution<int32_t>(0, n - 1)(Generator());
}

void Randomize() {
  Generator().seed(ClockSeed());
}

void SeedRandom(uint64_t seed) {
  Generator().seed(seed);
}

void SetRandomSource(RandomSource source) {
  ScriptedSource() = std::move(source);
}

}  // namespace platform
