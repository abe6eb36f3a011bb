#pragma once
// A 32-bit signed integer with the engine's arithmetic: sums, differences and
// products wrap around as two's complement, division truncates toward zero and
// right shifts are arithmetic. Letters far off screen (long lines, big fonts,
// odd stored settings) can push products past 32 bits; wrapping keeps every
// frame deterministic instead of undefined.

#include <compare>
#include <cstdint>

class Int32 {
 public:
  constexpr Int32() = default;
  constexpr Int32(int32_t value) : FValue(value) {}  // NOLINT: literals mix freely

  constexpr int32_t Get() const { return FValue; }

  friend constexpr Int32 operator+(Int32 a, Int32 b) {
    return Wrap(static_cast<uint32_t>(a.FValue) + static_cast<uint32_t>(b.FValue));
  }
  friend constexpr Int32 operator-(Int32 a, Int32 b) {
    return Wrap(static_cast<uint32_t>(a.FValue) - static_cast<uint32_t>(b.FValue));
  }
  friend constexpr Int32 operator*(Int32 a, Int32 b) {
    return Wrap(static_cast<uint32_t>(a.FValue) * static_cast<uint32_t>(b.FValue));
  }
  constexpr Int32 operator-() const { return Int32(0) - *this; }

  // Truncates toward zero. The engine never divides by zero; should it happen,
  // the result is 0 rather than a crash. INT32_MIN / -1 wraps to INT32_MIN.
  friend constexpr Int32 operator/(Int32 a, Int32 b) {
    if (b.FValue == 0) return 0;
    if (b.FValue == -1) return -a;
    return a.FValue / b.FValue;
  }
  // Remainder with the sign of the dividend, as the division above.
  friend constexpr Int32 operator%(Int32 a, Int32 b) {
    if (b.FValue == 0 || b.FValue == -1) return 0;
    return a.FValue % b.FValue;
  }
  friend constexpr Int32 operator&(Int32 a, Int32 b) { return a.FValue & b.FValue; }
  // Arithmetic shift: rounds toward minus infinity.
  constexpr Int32 operator>>(int shift) const { return FValue >> shift; }

  Int32& operator+=(Int32 b) { return *this = *this + b; }
  Int32& operator-=(Int32 b) { return *this = *this - b; }

  friend constexpr bool operator==(const Int32&, const Int32&) = default;
  friend constexpr auto operator<=>(const Int32&, const Int32&) = default;

 private:
  static constexpr Int32 Wrap(uint32_t bits) { return Int32(static_cast<int32_t>(bits)); }

  int32_t FValue = 0;
};

// |v|, wrapping: |INT32_MIN| stays INT32_MIN.
constexpr Int32 Abs(Int32 v) {
  return v < 0 ? -v : v;
}
