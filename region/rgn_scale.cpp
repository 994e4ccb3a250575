// Scaling a region by rational factors, and the bitmap-resize entry built on it.
#include <cstdlib>

#include "frame/result_codes.h"
#include "region/rgn_builder.h"
#include "region/rgn_ops.h"
#include "region/rgn_record.h"
#include "region/rgn_validate.h"

namespace {
struct Ratio {
  int32_t Num, Den;
  bool RoundUp = true;
};

// Halves the ratio until |edge| * |Num| fits in 32 bits (a ratio of 0 needs no guard).
void GuardOverflow(Ratio& r, int32_t edge) {
  const int64_t magnitude = std::llabs(int64_t(edge));
  for (int32_t halvings = 0; halvings < 32 && r.Num != 0; ++halvings) {
    if (magnitude <= INT32_MAX / std::llabs(int64_t(r.Num))) return;
    r.Num >>= 1;
    r.Den >>= 1;
    if (r.Den == 0) {
      r.Den = 1;
      return;
    }
  }
}

// Coordinate v scaled: (v * num + den - 1) / den with upward rounding, else (v * num) / den;
// truncating.
int32_t Up(int32_t v, const Ratio& r) {
  const int64_t q = (int64_t(v) * r.Num + (r.RoundUp ? r.Den - 1 : 0)) / r.Den;
  return q > INT32_MAX ? INT32_MAX : (q < INT32_MIN ? INT32_MIN : int32_t(q));
}

// Appends the source row scaled horizontally, joining segments that come to touch and dropping
// those that vanish; new values stay inside [left, right].
void AppendScaledRow(RgnBuilder& builder, const int32_t* v, int32_t count, const Ratio& x, int32_t left,
                     int32_t right) {
  bool pending = false;
  int32_t ps = 0, pe = 0;
  for (int32_t k = 0; k < count; k += 2) {
    int32_t s = Up(v[k], x), e = Up(v[k + 1], x);
    if (s < left) s = left;
    if (e > right) e = right;
    if (s >= e) continue;
    if (pending && s == pe) {
      pe = e;
      continue;
    }
    if (pending) RgnAppend(builder, ps, pe);
    pending = true;
    ps = s;
    pe = e;
  }
  if (pending) RgnAppend(builder, ps, pe);
}
}  // namespace

int32_t RgnScale(RgnRecord* region, int32_t xNum, int32_t xDen, int32_t yNum, int32_t yDen) {
  return RgnScaleRounded(region, xNum, xDen, yNum, yDen, true);
}

int32_t RgnScaleRounded(RgnRecord* region, int32_t xNum, int32_t xDen, int32_t yNum, int32_t yDen, bool verticalUp) {
  if (region == nullptr || xDen == 0 || yDen == 0) return kResultBadArgument;
  if (xNum == xDen && yNum == yDen) return kResultOk;
  const RECT old = region->Bounds;
  Ratio x{xNum, xDen}, y{yNum, yDen, verticalUp};
  GuardOverflow(x, old.left);
  GuardOverflow(x, old.right);
  GuardOverflow(y, old.top);
  GuardOverflow(y, old.bottom);

  const RECT scaled{Up(old.left, x), Up(old.top, y), Up(old.right, x), Up(old.bottom, y)};
  if (scaled.left >= scaled.right || scaled.top >= scaled.bottom) {
    RgnMakeEmpty(*region);
    return kResultOk;
  }

  RgnBuilder builder;
  if (RgnBegin(builder, scaled) != kResultOk) return kResultNoMemory;
  int32_t line = scaled.top;
  for (int32_t sy = old.top; sy < old.bottom && line < scaled.bottom; ++sy) {
    // Source line sy covers destination lines up(sy) .. up(sy + 1) - 1.
    const int32_t last = Up(sy + 1, y);
    if (last <= line) continue;
    const RgnRow& row = region->RowTable[sy - old.top];
    const int32_t firstStart = builder.RowStart;
    AppendScaledRow(builder, RgnRowValues(*region, row), row.Count, x, scaled.left, scaled.right);
    const int32_t count = builder.RowCount;
    if (RgnEndRow(builder) != kResultOk) return kResultNoMemory;
    for (++line; line < last && line < scaled.bottom; ++line) {
      // Repeat the scaled row; indexes stay valid when the buffer moves.
      RgnAppendValues(builder, builder.Values + firstStart, count);
      if (RgnEndRow(builder) != kResultOk) return kResultNoMemory;
    }
  }
  for (; line < scaled.bottom; ++line)
    if (RgnEndRow(builder) != kResultOk) return kResultNoMemory;
  RgnFinish(builder);
  RgnReplaceInPlace(*region, builder.Record);
  RGN_ASSERT_WELL_FORMED(region);
  return kResultOk;
}

int32_t QSAPI RgnResizeBitmap(BitmapRecord* bitmap, int32_t newWidth, int32_t newHeight) {
  if (bitmap == nullptr) return kResultNoBitmap;
  if (bitmap->Region == nullptr) return kResultOk;
  return RgnScale(bitmap->Region, newWidth, bitmap->Width, newHeight, bitmap->Height);
}
