// Transforms between the caller's coordinates and the bitmap's, outbound direction.
#include <cmath>
#include <cstdlib>

#include "frame/result_codes.h"
#include "qskrn.h"
#include "region/rgn_ops.h"
#include "region/rgn_record.h"

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
// Angle in hundredths of a degree brought into 0 .. 35999.
int64_t NormalizedHundredths(int32_t degrees) {
  int64_t a = int64_t(degrees) * 100;
  if (a < 0) a += ((-a - 1) / 36000 + 1) * 36000;
  return a % 36000;
}
}  // namespace

int32_t RgnChangePerspective(RgnRecord* region, int32_t from, int32_t to, int32_t frameWidth, int32_t frameHeight) {
  if (from == to) return kResultOk;
  int32_t flip = 0, angle = 0;
  int32_t code = KrnOrientationInfo(from, to, &flip, &angle);
  if (code != kResultOk) return code;
  if (flip) {
    code = RgnFlipRows(region, frameHeight);
    if (code != kResultOk) return code;
  }
  const int64_t hundredths = NormalizedHundredths(angle);
  if (hundredths == 0) return kResultOk;
  if (hundredths != 9000 && hundredths != 18000 && hundredths != 27000) return kResultBadArgument;
  // The turn works on a bitmap's region: lend the region to a bare record.
  BitmapRecord carrier{};
  carrier.StructSize = QS_RECORD_SIZE;
  carrier.Width = frameWidth;
  carrier.Height = frameHeight;
  carrier.Orientation = 1;
  carrier.Region = region;
  return RgnRotate(&carrier, frameWidth, frameHeight, int32_t(hundredths));
}

int32_t RgnMapOutbound(const BitmapRecord* bitmap, const RgnTransform* transform, RgnRecord* region) {
  if (bitmap == nullptr) return kResultNoBitmap;
  if (region == nullptr) return kResultBadArgument;
  if (transform == nullptr) return kResultOk;
  if (!RgnTransformIsValid(*transform)) return kResultBadArgument;
  const int32_t to = int32_t(transform->Orientation);
  int32_t code = RgnChangePerspective(region, bitmap->Orientation, to, bitmap->Width, bitmap->Height);
  if (code != kResultOk) return code;
  if (transform->XScaleNum != transform->XScaleDen || transform->YScaleNum != transform->YScaleDen) {
    const bool verticalUp = to == 4 || (to == 1 && bitmap->Orientation == 6);
    code = RgnScaleRounded(region, transform->XScaleNum, transform->XScaleDen, transform->YScaleNum,
                           transform->YScaleDen, verticalUp);
    if (code != kResultOk) return code;
  }
  return RgnOffset(region, transform->XOffset, transform->YOffset);
}

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
