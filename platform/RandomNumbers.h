#pragma once
// The program's single pseudo-random generator.

#include <cstdint>
#include <functional>

namespace platform {

// A uniform integer in 0 .. n - 1; 0 when n <= 0 (an empty range places things
// at its start). The generator is seeded from the clock when first used.
int32_t Random(int32_t n);

// Seeds the generator from the clock (program start) or with a fixed value
// (reproducible runs).
void Randomize();
void SeedRandom(uint64_t seed);

// Replaces the generator by a scripted source, for tests that need particular
// numbers; its answers are clamped into 0 .. n - 1. An empty function goes back
// to the generator.
using RandomSource = std::function<int32_t(int32_t n)>;
void SetRandomSource(RandomSource source);

}  // namespace platform
