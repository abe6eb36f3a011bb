#pragma once
// The program's millisecond clock: monotonic, read as a 32-bit count that
// wraps about every 49.7 days. Differences between two readings are taken in
// signed 32-bit arithmetic, so they stay right across the wrap.

#include <chrono>
#include <cstdint>

namespace platform {

// Milliseconds since an arbitrary start, modulo 2^32.
uint32_t MillisecondClock();

// The count the clock shows `sinceStart` after its start.
constexpr uint32_t WrapMilliseconds(std::chrono::milliseconds sinceStart) {
  return static_cast<uint32_t>(static_cast<uint64_t>(sinceStart.count()));
}

// Signed milliseconds from reading `from` to reading `to`, for readings less
// than 2^31 milliseconds apart.
constexpr int32_t MillisecondsBetween(uint32_t from, uint32_t to) {
  return static_cast<int32_t>(to - from);
}

}  // namespace platform
