// Transforms between the caller's coordinates and the bitmap's, outbound direction.
#include <cmath>
#include <cstdlib>

#include "frame/result_codes.h"
#include "qskrn.h"
#include "region/rgn_ops.h"

namespace {
int32_t Saturate(int64_t v) {
  if (v > INT32_MAX) return INT32_MAX;
  if (v < INT32_MIN) return INT32_MIN;
  return int32_t(v);
}

// (v * num + bias) / den, truncating; 0 stays 0. When |v| * |num| could leave the 32-bit range
// the same expression is evaluated in double precision.
int32_t ScaleOut(int32_t v, int32_t num, int32_t den, int32_t bias) {
  if (v == 0) return 0;
  const int64_t magnitude = std::llabs(int64_t(v));
  if (INT32_MAX / magnitude < std::llabs(int64_t(num))) {
    const double exact = std::trunc((double(v) * double(num) + double(bias)) / double(den));
    if (exact >= 2147483647.0) return INT32_MAX;
    if (exact <= -2147483648.0) return INT32_MIN;
    return int32_t(exact);
  }
  return Saturate((int64_t(v) * num + bias) / den);
}
}  // namespace

bool RgnTransformIsValid(const RgnTransform& transform) {
  return transform.Orientation >= 1 && transform.Orientation <= 8 && transform.XScaleDen != 0 &&
         transform.YScaleDen != 0;
}

int32_t RgnMapRectOut(const BitmapRecord& bitmap, const RgnTransform* transform, RECT& rect) {
  if (transform == nullptr) return kResultOk;
  if (!RgnTransformIsValid(*transform)) return kResultBadArgument;
  const int32_t to = int32_t(transform->Orientation);
  RECT r = rect;
  if (to != bitmap.Orientation) {
    const int32_t code = KrnMapViewPoint(bitmap.Orientation, bitmap.Width, bitmap.Height, to, &r);
    if (code != kResultOk) return code;
  }
  // Horizontal edges round up; vertical edges only for callers in orientation 4, or in 1 for a
  // bitmap stored in 6.
  const int32_t xBias = transform->XScaleDen - 1;
  const int32_t yBias = (to == 4 || (to == 1 && bitmap.Orientation == 6)) ? transform->YScaleDen - 1 : 0;
  r.left = Saturate(int64_t(ScaleOut(r.left, transform->XScaleNum, transform->XScaleDen, xBias)) + transform->XOffset);
  r.right = Saturate(int64_t(ScaleOut(r.right, transform->XScaleNum, transform->XScaleDen, xBias)) + transform->XOffset);
  r.top = Saturate(int64_t(ScaleOut(r.top, transform->YScaleNum, transform->YScaleDen, yBias)) + transform->YOffset);
  r.bottom =
      Saturate(int64_t(ScaleOut(r.bottom, transform->YScaleNum, transform->YScaleDen, yBias)) + transform->YOffset);
  rect = r;
  return kResultOk;
}
