#include "region/rgn_rectangles.h"

#include <algorithm>
#include <cstring>

#include "frame/result_codes.h"
#include "qskrn.h"
#include "region/rgn_ops.h"
#include "region/rgn_record.h"

namespace {
bool SameRow(const RgnRecord& region, const RgnRow& a, const RgnRow& b) {
  return a.Count == b.Count &&
         std::memcmp(RgnRowValues(region, a), RgnRowValues(region, b), size_t(a.Count) * sizeof(int32_t)) == 0;
}

void Include(RECT& box, const RECT& r, bool first) {
  if (first) {
    box = r;
    return;
  }
  box.left = std::min(box.left, r.left);
  box.top = std::min(box.top, r.top);
  box.right = std::max(box.right, r.right);
  box.bottom = std::max(box.bottom, r.bottom);
}
}  // namespace

int32_t RgnBuildRectangles(const BitmapRecord& bitmap, const RgnRecord& region, const RgnTransform* transform,
                           RgnRectangleList& list) {
  list = RgnRectangleList{};
  const uint32_t segments = region.SegmentBytes / 8;
  auto* block = static_cast<RgnDataHeader*>(KrnMemAlloc((segments + 2) * uint32_t(sizeof(RECT))));
  if (block == nullptr) return kResultNoMemory;
  std::memset(block, 0, sizeof *block);
  RECT* out = reinterpret_cast<RECT*>(block + 1);
  uint32_t count = 0;
  const int32_t rows = RgnRowCount(region);
  for (int32_t i = 0; i < rows;) {
    const RgnRow& row = region.RowTable[i];
    int32_t end = i + 1;
    while (end < rows && SameRow(region, row, region.RowTable[end])) ++end;
    const int32_t* v = RgnRowValues(region, row);
    for (int32_t k = 0; k < row.Count; k += 2) {
      RECT r{v[k], region.Bounds.top + i, v[k + 1], region.Bounds.top + end};
      if (RgnMapRectOut(bitmap, transform, r) != kResultOk) {
        KrnMemFree(block);
        return kResultBadArgument;
      }
      // A change of perspective may leave the edges swapped; the rectangle is the same.
      if (r.left > r.right) std::swap(r.left, r.right);
      if (r.top > r.bottom) std::swap(r.top, r.bottom);
      if (r.left >= r.right || r.top >= r.bottom) continue;
      Include(block->Bound, r, count == 0);
      out[count++] = r;
    }
    i = end;
  }
  std::sort(out, out + count, [](const RECT& a, const RECT& b) { return a.top != b.top ? a.top < b.top : a.left < b.left; });
  block->Size = kRgnDataHeaderSize;
  block->Type = kRgnDataRectangles;
  block->Count = count;
  block->RgnSize = count * uint32_t(sizeof(RECT));
  list.Block = block;
  list.Count = count;
  return kResultOk;
}
