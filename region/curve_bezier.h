// Curve descriptions turned into Bezier control points as PolyBezier takes them: a start point,
// then three points (two controls and the end) per segment. Coordinates are worked in double
// precision and truncated toward zero.
#pragma once
#include <cstdint>

#include "qsdisp.h"

inline constexpr uint32_t kCurveRecordSize = 36;  // the record's declared size, on every target

inline constexpr uint32_t kCurveBezierPoints = 0;
inline constexpr uint32_t kCurveCardinal = 1;
inline constexpr uint32_t kCurveCubicSpline = 2;

inline constexpr uint32_t kCurveOpen = 0;     // cardinal: the end points only steer
inline constexpr uint32_t kCurveClosed = 1;
inline constexpr uint32_t kCurveThrough = 2;  // cardinal: through every point, not closed

// Keeps every point count, and the buffers sized from it, inside 32 bits.
inline constexpr int32_t kCurveMaxPoints = 0x7FFFFFF;

// Points the cardinal conversion writes for count points and that closure (1 when it makes no
// segment).
int32_t CardinalBezierCount(int32_t count, uint32_t closure);

// Cardinal spline of the given tension through points[0..count-1] (indices taken modulo count;
// count >= 1). Writes CardinalBezierCount(count, closure) points to out and returns that number.
int32_t CardinalToBezier(const POINT* points, int32_t count, double tension, uint32_t closure, POINT* out);

// Natural (closure 0) or periodic (closure 1) cubic spline through points[0..count-1]; count >= 1
// for closure 0, >= 3 for closure 1. Writes 3 * count - 2 or 3 * count + 1 points, stores that
// number in written and returns 1; -13 for another closure, -1 when the work memory is missing.
int32_t CubicSplineToBezier(const POINT* points, int32_t count, uint32_t closure, POINT* out,
                            int32_t* written);

// A double truncated toward zero, held inside the i32 range (NaN gives 0).
int32_t TruncateCoordinate(double value);
