// Integer scaling between 96-DPI units and physical pixels, with the same
// rounding as the platform's MulDiv so that sizes computed here match the
// ones the window system computes.
#pragma once

#include <cstdint>
#include <limits>

namespace zrcc {

// a × b / c through a 64-bit intermediate, rounded to the nearest integer
// with halves away from zero. -1 when c is 0 or the result does not fit in
// 32 bits (both as MulDiv reports them).
constexpr int MulDivRound(int a, int b, int c) {
  if (c == 0) return -1;
  std::int64_t product = static_cast<std::int64_t>(a) * b;
  std::int64_t divisor = c;
  if (divisor < 0) {
    divisor = -divisor;
    product = -product;
  }
  const std::int64_t half = divisor / 2;
  const std::int64_t result = product >= 0 ? (product + half) / divisor : (product - half) / divisor;
  if (result > std::numeric_limits<int>::max() || result < -std::numeric_limits<int>::max()) return -1;
  return static_cast<int>(result);
}

}  // namespace zrcc
