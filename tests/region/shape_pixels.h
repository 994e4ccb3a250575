// Pixel membership and snapshots of region records for the shape tests.
#pragma once
#include <cstdint>
#include <vector>

#include "region/rgn_record.h"

inline bool ShapeRgnContains(const RgnRecord& r, int32_t x, int32_t y) {
  const RgnRow* row = RgnRowOf(r, y);
  if (row == nullptr) return false;
  const int32_t* v = RgnRowValues(r, *row);
  for (int32_t i = 0; i < row->Count; i += 2)
    if (v[i] <= x && x < v[i + 1]) return true;
  return false;
}

// Bounds and every line's values, enough to tell whether a region changed.
inline std::vector<int32_t> ShapeRgnSnapshot(const RgnRecord* r) {
  if (r == nullptr) return {-1};
  std::vector<int32_t> s = {r->Bounds.left, r->Bounds.top, r->Bounds.right, r->Bounds.bottom};
  for (int32_t i = 0; i < RgnRowCount(*r); ++i) {
    const RgnRow& row = r->RowTable[i];
    s.push_back(row.Count);
    const int32_t* v = RgnRowValues(*r, row);
    s.insert(s.end(), v, v + row.Count);
  }
  return s;
}
