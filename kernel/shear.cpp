// The slope of a horizontal shear: tan(angle) as a fraction with a fixed denominator, so that
// callers can step line by line with an integer quotient and a carried remainder.
#include <cmath>
#include <cstdlib>

#include "qskrn.h"

namespace {
constexpr int32_t kShearDenominator = 65536;
constexpr int32_t kRightAngle = 9000;  // hundredths of a degree
constexpr double kPi = 3.14159265358979323846;

bool ShearableAngle(int32_t angle) { return angle > -kRightAngle && angle < kRightAngle; }
}  // namespace

int32_t QSAPI KrnShearNumerator(int32_t angle) {
  if (!ShearableAngle(angle)) return 0;
  const double radians = std::abs(angle) / 100.0 * kPi / 180.0;
  return int32_t(std::lround(std::tan(radians) * kShearDenominator));
}

int32_t QSAPI KrnShearDenominator(int32_t angle) { return ShearableAngle(angle) ? kShearDenominator : 0; }
