// In-place record operations: offset, flips, clipping, and the copy onto another bitmap.
#include "region/rgn_ops.h"

#include <utility>

#include "frame/result_codes.h"
#include "qsdisp.h"
#include "region/rgn_builder.h"
#include "region/rgn_record.h"
#include "region/rgn_validate.h"

namespace {
bool FitsInt32(int64_t v) { return v >= INT32_MIN && v <= INT32_MAX; }

RECT Intersection(const RECT& a, const RECT& b) {
  return RECT{a.left > b.left ? a.left : b.left, a.top > b.top ? a.top : b.top,
              a.right < b.right ? a.right : b.right, a.bottom < b.bottom ? a.bottom : b.bottom};
}

// Mirrors every row inside [0, width): [s, e) -> [width - e, width - s), order reversed.
void MirrorValues(RgnRecord& region, int32_t width) {
  const int32_t rows = RgnRowCount(region);
  for (int32_t i = 0; i < rows; ++i) {
    const RgnRow& row = region.RowTable[i];
    int32_t* v = RgnRowValues(region, row);
    for (int32_t a = 0, b = row.Count - 1; a <= b; ++a, --b) {
      const int32_t va = v[a];
      v[a] = width - v[b];
      v[b] = width - va;
    }
  }
  const int32_t left = width - region.Bounds.right;
  region.Bounds.right = left + (region.Bounds.right - region.Bounds.left);
  region.Bounds.left = left;
}
}  // namespace

int32_t QSAPI RgnOffset(RgnRecord* region, int32_t dx, int32_t dy) {
  if (region == nullptr) return kResultBadArgument;
  if (dx == 0 && dy == 0) return kResultOk;
  if (RgnIsEmpty(*region)) {
    RgnDropCaches(*region);
    return kResultOk;
  }
  RECT& b = region->Bounds;
  if (!FitsInt32(int64_t(b.left) + dx) || !FitsInt32(int64_t(b.right) + dx) || !FitsInt32(int64_t(b.top) + dy) ||
      !FitsInt32(int64_t(b.bottom) + dy))
    return kResultBadArgument;
  if (dy != 0) {
    b.top += dy;
    b.bottom += dy;
  }
  if (dx != 0) {
    const uint32_t values = region->SegmentBytes / 4;
    for (uint32_t k = 0; k < values; ++k) region->Segments[k] += dx;
    b.left += dx;
    b.right += dx;
  }
  RgnDropCaches(*region);
  RGN_ASSERT_WELL_FORMED(region);
  return kResultOk;
}

int32_t QSAPI RgnFlipRows(RgnRecord* region, int32_t height) {
  if (region == nullptr) return kResultBadArgument;
  const int64_t top = int64_t(height) - region->Bounds.bottom;
  const int64_t bottom = top + (int64_t(region->Bounds.bottom) - region->Bounds.top);
  if (!FitsInt32(top) || !FitsInt32(bottom)) return kResultBadArgument;
  RgnDropCaches(*region);
  if (RgnIsEmpty(*region)) return kResultOk;
  for (int32_t a = 0, b = RgnRowCount(*region) - 1; a < b; ++a, --b) std::swap(region->RowTable[a], region->RowTable[b]);
  region->Bounds.top = int32_t(top);
  region->Bounds.bottom = int32_t(bottom);
  RGN_ASSERT_WELL_FORMED(region);
  return kResultOk;
}

int32_t RgnMirrorRows(RgnRecord* region, int32_t width) {
  if (region == nullptr) return kResultBadArgument;
  if (!FitsInt32(int64_t(width) - region->Bounds.left) || !FitsInt32(int64_t(width) - region->Bounds.right))
    return kResultBadArgument;
  RgnDropCaches(*region);
  if (RgnIsEmpty(*region)) return kResultOk;
  MirrorValues(*region, width);
  RGN_ASSERT_WELL_FORMED(region);
  return kResultOk;
}

int32_t QSAPI RgnMirrorBitmap(BitmapRecord* bitmap) {
  if (bitmap == nullptr) return kResultNoBitmap;
  if (bitmap->Region == nullptr) return kResultOk;
  return RgnMirrorRows(bitmap->Region, bitmap->Width);
}

int32_t QSAPI RgnFlipBitmap(BitmapRecord* bitmap) {
  if (bitmap == nullptr) return kResultNoBitmap;
  if (bitmap->Region == nullptr) return kResultOk;
  return RgnFlipRows(bitmap->Region, bitmap->Height);
}

int32_t RgnClip(RgnRecord* region, const RECT* rect) {
  if (region == nullptr || rect == nullptr) return kResultBadArgument;
  const RECT& b = region->Bounds;
  const RECT r = Intersection(b, *rect);
  if (r.left >= r.right || r.top >= r.bottom) {
    RgnMakeEmpty(*region);
    return kResultOk;
  }
  if (r.left == b.left && r.top == b.top && r.right == b.right && r.bottom == b.bottom) return kResultOk;

  RgnBuilder builder;
  if (RgnBegin(builder, r) != kResultOk) return kResultNoMemory;
  const int64_t widest = 2 * (int64_t(r.right) - r.left);  // rows whose segments touch
  for (int32_t y = r.top; y < r.bottom; ++y) {
    const RgnRow& row = *RgnRowOf(*region, y);
    const int32_t* v = RgnRowValues(*region, row);
    if (RgnReserve(builder, uint32_t(row.Count < widest ? row.Count : widest)) != kResultOk) return kResultNoMemory;
    for (int32_t k = 0; k < row.Count; k += 2) {
      if (v[k + 1] <= r.left) continue;
      if (v[k] >= r.right) break;
      RgnAppend(builder, v[k] < r.left ? r.left : v[k], v[k + 1] > r.right ? r.right : v[k + 1]);
    }
    if (RgnEndRow(builder) != kResultOk) return kResultNoMemory;
  }
  RgnFinish(builder);
  RgnReplaceInPlace(*region, builder.Record);
  RGN_ASSERT_WELL_FORMED(region);
  return kResultOk;
}

int32_t QSAPI RgnCopyToBitmap(BitmapRecord* target, const BitmapRecord* source, int32_t dx, int32_t dy) {
  if (target == nullptr || source == nullptr) return kResultBadArgument;
  // The target is a fresh copy: its pointer still names the source's record.
  target->Region = nullptr;
  if (source->Region == nullptr) return kResultOk;
  RgnRecord* copy = nullptr;
  int32_t code = Q_CopyQorbRgn(&copy, source->Region);
  if (code != kResultOk) return code;
  RgnOwner owner(copy);
  code = RgnOffset(copy, dx, dy);
  if (code != kResultOk) return code;
  if (RgnClipsToBitmap(*target)) {
    const RECT frame{0, 0, target->Width, target->Height};
    code = RgnClip(copy, &frame);
    if (code != kResultOk) return code;
  }
  target->Region = owner.release();
  return kResultOk;
}
