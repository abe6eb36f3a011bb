#pragma once
// Fixed-point sine and cosine: 4096 angle units per turn, 12 fraction bits.
// The effects turn an angle and an amplitude into an offset with one look-up,
// one multiplication and one shift, without floating point.

#include <array>
#include <cstdint>

#include "engine/Int32.h"

using TrigTable = std::array<int32_t, 4096>;

// Entry i = round(sin(i * 3.14159 / 2048) * 4096). The angle step uses the
// constant 3.14159, not pi, so a few entries differ from an exact table (entry
// 1402 is 3427). Built at compile time, so no code can see it unfilled.
extern const TrigTable SineTable;
// Entry i = SineTable[(i + 1024) mod 4096].
extern const TrigTable CosineTable;

// (SineTable[angle and 4095] * m) >> 12: the product wraps at 32 bits and the
// shift rounds toward minus infinity. Any angle is accepted; only its low 12
// bits count, so negative angles wrap correctly.
inline int32_t SinMul(int32_t angle, int32_t m) {
  return (Int32(SineTable[angle & 4095]) * m >> 12).Get();
}

inline int32_t CosMul(int32_t angle, int32_t m) {
  return (Int32(CosineTable[angle & 4095]) * m >> 12).Get();
}
