#include <cstddef>

#include "frame/result_codes.h"
#include "region/curve_bezier.h"

#if defined(_WIN32) && !defined(_WIN64)
static_assert(sizeof(CurveRecord) == 36 && offsetof(CurveRecord, Tension) == 20 &&
              offsetof(CurveRecord, Closure) == 28);
#endif

namespace {
// Points the conversion of a checked curve writes.
int32_t OutputCount(uint32_t type, int32_t count, uint32_t closure) {
  if (type == kCurveCardinal) return CardinalBezierCount(count, closure);
  return closure == kCurveClosed ? 3 * count + 1 : 3 * count - 2;
}
}  // namespace

// count: in, the room in points (when points is given); out, the points needed or written.
int32_t QSAPI Q_CurveToBezier(const CurveRecord* curve, int32_t* count, POINT* points) {
  if (curve == nullptr || count == nullptr) return kResultBadArgument;
  if (curve->Size != kCurveRecordSize) return kResultBadStructSize;
  const uint32_t closure = curve->Closure;
  const int32_t n = curve->Count;
  if (closure > kCurveThrough) return kResultBadArgument;
  if (n < 3 && closure != kCurveOpen) return kResultBadArgument;
  if (n < 4 && closure == kCurveOpen && curve->Type == kCurveCardinal) return kResultBadArgument;
  if (curve->Type != kCurveCardinal && curve->Type != kCurveCubicSpline) return kResultBadArgument;
  // A natural spline needs a point to start from; no count may overflow the sizes made from it.
  if (n < 1 || n > kCurveMaxPoints) return kResultBadArgument;

  const int32_t needed = OutputCount(curve->Type, n, closure);
  if (points == nullptr) {
    *count = needed;
    return kResultOk;
  }
  if (curve->Points == nullptr || *count < needed) return kResultBadArgument;
  if (curve->Type == kCurveCardinal) {
    *count = CardinalToBezier(curve->Points, n, curve->Tension, closure, points);
    return kResultOk;
  }
  int32_t written = 0;
  const int32_t result = CubicSplineToBezier(curve->Points, n, closure, points, &written);
  if (result == kResultOk) *count = written;
  return result;
}
