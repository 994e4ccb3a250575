// a x b / d rounded to the nearest integer (halves away from zero), with a 64-bit product, as
// the Windows MulDiv; -1 when d is 0 or the result does not fit. The same code on every build.
#pragma once
#include <cstdint>

inline int32_t MulDivRound(int32_t a, int32_t b, int32_t d) {
  if (d == 0) return -1;
  int64_t product = int64_t(a) * b;
  int64_t divisor = d;
  if (divisor < 0) {
    divisor = -divisor;
    product = -product;
  }
  const int64_t half = divisor / 2;
  const int64_t result = product >= 0 ? (product + half) / divisor : (product - half) / divisor;
  if (result > INT32_MAX || result < -INT32_MAX) return -1;
  return int32_t(result);
}
