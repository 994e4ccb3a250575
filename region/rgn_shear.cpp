// Horizontal shear of a bitmap's region: each line moves right by the slope times its distance
// from the top (positive angles) or from the bottom line (negative angles), rounded down, which
// is what stepping line by line with the slope's quotient and a carried remainder gives.
#include <climits>
#include <cstdlib>

#include "frame/result_codes.h"
#include "qskrn.h"
#include "region/rgn_ops.h"
#include "region/rgn_record.h"
#include "region/rgn_validate.h"

namespace {
int64_t FloorDiv(int64_t a, int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

// Applies the shift of every line to its segments (or takes it back with sign -1).
void ShiftLines(RgnRecord& region, int64_t numerator, int64_t denominator, bool fromTop, int32_t height,
                int32_t sign) {
  const int32_t rows = RgnRowCount(region);
  for (int32_t i = 0; i < rows; ++i) {
    const int64_t y = int64_t(region.Bounds.top) + i;
    const int64_t distance = fromTop ? y : int64_t(height) - 1 - y;
    const auto shift = int32_t(sign * FloorDiv(distance * numerator, denominator));
    RgnRow& row = region.RowTable[i];
    int32_t* v = RgnRowValues(region, row);
    for (int32_t k = 0; k < row.Count; ++k) v[k] += shift;
  }
}

void RecomputeColumns(RgnRecord& region) {
  int32_t left = INT_MAX, right = INT_MIN;
  for (int32_t i = 0; i < RgnRowCount(region); ++i) {
    const RgnRow& row = region.RowTable[i];
    if (row.Count == 0) continue;
    const int32_t* v = RgnRowValues(region, row);
    if (v[0] < left) left = v[0];
    if (v[row.Count - 1] > right) right = v[row.Count - 1];
  }
  region.Bounds.left = left;
  region.Bounds.right = right;
}
}  // namespace

int32_t QSAPI RgnShear(BitmapRecord* bitmap, int32_t angle) {
  if (bitmap == nullptr) return kResultNoBitmap;
  RgnRecord* region = bitmap->Region;
  if (region == nullptr) return kResultOk;
  const int64_t denominator = KrnShearDenominator(angle), numerator = KrnShearNumerator(angle);
  if (denominator <= 0 || numerator < 0) return kResultBadArgument;
  if (RgnIsEmpty(*region)) {
    RgnDropCaches(*region);
    return kResultOk;
  }
  const bool fromTop = angle >= 0;
  // Every moved column must still be a 32-bit value: the extreme shifts are at the first and
  // last lines.
  for (const int64_t y : {int64_t(region->Bounds.top), int64_t(region->Bounds.bottom) - 1}) {
    const int64_t distance = fromTop ? y : int64_t(bitmap->Height) - 1 - y;
    const int64_t shift = FloorDiv(distance * numerator, denominator);
    if (region->Bounds.left + shift < INT_MIN || region->Bounds.right + shift > INT_MAX) return kResultBadArgument;
  }
  const RECT oldBounds = region->Bounds;
  ShiftLines(*region, numerator, denominator, fromTop, bitmap->Height, 1);
  RecomputeColumns(*region);
  if (RgnClipsToBitmap(*bitmap)) {
    const RECT frame{0, 0, bitmap->Width, bitmap->Height};
    const int32_t code = RgnClip(region, &frame);
    if (code != kResultOk) {  // the clip left the record as it was: move the lines back
      ShiftLines(*region, numerator, denominator, fromTop, bitmap->Height, -1);
      region->Bounds = oldBounds;
      return code;
    }
  }
  RgnDropCaches(*region);
  RGN_ASSERT_WELL_FORMED(region);
  return kResultOk;
}
