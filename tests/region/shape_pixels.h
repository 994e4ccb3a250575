// Pixel membership of region records anywhere in the plane, for the shape tests.
#pragma once
#include <cstdint>

#include "region/rgn_record.h"

inline bool ShapeRgnContains(const RgnRecord& r, int32_t x, int32_t y) {
  const RgnRow* row = RgnRowOf(r, y);
  if (row == nullptr) return false;
  const int32_t* v = RgnRowValues(r, *row);
  for (int32_t i = 0; i < row->Count; i += 2)
    if (v[i] <= x && x < v[i + 1]) return true;
  return false;
}
