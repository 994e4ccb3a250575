#include "region/rgn_validate.h"

#include <vector>

#include "region/rgn_record.h"

bool RgnIsWellFormed(const RgnRecord& region) {
  const RECT& b = region.Bounds;
  if (region.RowTableBytes == 0) {
    return b.left == 0 && b.top == 0 && b.right == 0 && b.bottom == 0 && region.SegmentBytes == 0 &&
           region.RowTable == nullptr && region.Segments == nullptr;
  }
  if (region.RowTable == nullptr || region.Segments == nullptr || region.SegmentBytes == 0) return false;
  if (region.RowTableBytes % sizeof(RgnRow) != 0 || region.SegmentBytes % 8 != 0) return false;
  if (b.top >= b.bottom || b.left >= b.right) return false;
  if (int64_t(b.bottom) - b.top != int64_t(region.RowTableBytes / sizeof(RgnRow))) return false;

  const int32_t rows = RgnRowCount(region);
  // Every value belongs to exactly one row; rows need not be stored in line order (a flip
  // reverses the table, not the values).
  std::vector<bool> used(region.SegmentBytes / 4, false);
  uint32_t total = 0;
  int64_t left = INT64_MAX, right = INT64_MIN;
  for (int32_t i = 0; i < rows; ++i) {
    const RgnRow& row = region.RowTable[i];
    if (row.Count < 0 || row.Count % 2 != 0) return false;
    if (row.Count == 0) {
      // The first and last lines carry segments; empty lines between them are {0, 0}.
      if (i == 0 || i == rows - 1 || row.Offset != 0) return false;
      continue;
    }
    if (row.Offset % 4 != 0 || uint64_t(row.Offset) + uint64_t(row.Count) * 4 > region.SegmentBytes) return false;
    for (uint32_t k = row.Offset / 4; k < row.Offset / 4 + uint32_t(row.Count); ++k) {
      if (used[k]) return false;
      used[k] = true;
    }
    total += uint32_t(row.Count) * 4;
    const int32_t* v = RgnRowValues(region, row);
    for (int32_t k = 0; k < row.Count; k += 2) {
      if (v[k] >= v[k + 1]) return false;          // non-empty
      if (k > 0 && v[k] < v[k - 1]) return false;  // ascending, disjoint (touching allowed)
    }
    if (v[0] < left) left = v[0];
    if (v[row.Count - 1] > right) right = v[row.Count - 1];
  }
  return total == region.SegmentBytes && left == b.left && right == b.right;
}
