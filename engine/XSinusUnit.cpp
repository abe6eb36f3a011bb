#include "engine/XSinusUnit.h"

namespace {

constexpr long double kPi = 3.141592653589793238462643383279502884L;

// Sine by its Taylor series after reducing the argument to [-pi, pi]; in
// long double the error stays far below the distance of any table entry from
// a rounding tie, so the table equals the one std::sin would give.
constexpr long double Sine(long double x) {
  while (x > kPi) x -= 2 * kPi;
  while (x < -kPi) x += 2 * kPi;
  long double term = x;
  long double sum = x;
  for (int n = 1; n < 40; ++n) {
    term = -term * x * x / static_cast<long double>((2 * n) * (2 * n + 1));
    sum += term;
  }
  return sum;
}

constexpr int32_t RoundToInt(long double v) {
  return v >= 0 ? static_cast<int32_t>(v + 0.5L) : -static_cast<int32_t>(-v + 0.5L);
}

constexpr TrigTable BuildSineTable() {
  TrigTable table{};
  for (int i = 0; i < 4096; ++i) {
    const double angle = i * 3.14159 / 2048;  // the step is computed in double
    table[i] = RoundToInt(Sine(angle) * 4096);
  }
  return table;
}

constexpr TrigTable BuildCosineTable(const TrigTable& sine) {
  TrigTable table{};
  for (int i = 0; i < 4096; ++i) table[i] = sine[(i + 1024) % 4096];
  return table;
}

constexpr TrigTable kSine = BuildSineTable();
constexpr TrigTable kCosine = BuildCosineTable(kSine);

}  // namespace

constinit const TrigTable SineTable = kSine;
constinit const TrigTable CosineTable = kCosine;
