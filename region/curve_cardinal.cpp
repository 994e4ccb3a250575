#include <cmath>

#include "region/curve_bezier.h"

int32_t TruncateCoordinate(double value) {
  if (std::isnan(value)) return 0;
  if (value >= 2147483647.0) return INT32_MAX;
  if (value <= -2147483648.0) return INT32_MIN;
  return static_cast<int32_t>(value);
}

namespace {
// The segment from p1 to p2 steered by p0 and p3. The cardinal basis times the power-to-Bezier
// matrix leaves the end points where they are and moves each control by s/3 of the chord
// between the end point's neighbours.
void CardinalSegment(const POINT& p0, const POINT& p1, const POINT& p2, const POINT& p3, double third,
                     POINT* out) {
  out[0] = {TruncateCoordinate(p1.x + third * (double(p2.x) - p0.x)),
            TruncateCoordinate(p1.y + third * (double(p2.y) - p0.y))};
  out[1] = {TruncateCoordinate(p2.x - third * (double(p3.x) - p1.x)),
            TruncateCoordinate(p2.y - third * (double(p3.y) - p1.y))};
  out[2] = p2;
}

int32_t SegmentCount(int32_t count, uint32_t closure) {
  switch (closure) {
    case kCurveOpen: return count >= 4 ? count - 3 : 0;
    case kCurveClosed: return count >= 1 ? count : 0;
    case kCurveThrough: return count >= 2 ? count - 1 : 0;
    default: return 0;
  }
}
}  // namespace

int32_t CardinalBezierCount(int32_t count, uint32_t closure) { return 1 + 3 * SegmentCount(count, closure); }

int32_t CardinalToBezier(const POINT* p, int32_t n, double tension, uint32_t closure, POINT* out) {
  const int32_t segments = SegmentCount(n, closure);
  // Closure 2 starts at p[0] with p[n-1] as its neighbour before; the others start at p[1].
  const int32_t first = closure == kCurveThrough ? n - 1 : 0;
  out[0] = p[closure == kCurveThrough ? 0 : 1 % n];
  const double third = tension / 3.0;
  for (int32_t s = 0; s < segments; ++s) {
    const int64_t i = (int64_t{first} + s) % n;
    CardinalSegment(p[i], p[(i + 1) % n], p[(i + 2) % n], p[(i + 3) % n], third, out + 1 + 3 * s);
  }
  return 1 + 3 * segments;
}
