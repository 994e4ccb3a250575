// A region record as the rectangle list of a region data block (the RGNDATA layout), for
// building GDI regions: consecutive identical rows make one band, each segment of a band one
// rectangle, mapped into the caller's coordinates and sorted by top, then left.
#pragma once
#include <cstdint>

#include "qsrecords.h"
#include "region/rgn_region_data.h"

struct RgnRectangleList {
  RgnDataHeader* Block = nullptr;  // header, then Count rectangles; KrnMemFree releases it
  uint32_t Count = 0;
  RECT* Rectangles() const { return reinterpret_cast<RECT*>(Block + 1); }
};

// Fills list from the region, each rectangle mapped through RgnMapRectOut(bitmap, transform).
// Rectangles empty after the mapping are left out. The header carries the count, the bytes of
// the rectangles and their bounding box. 1, -13 (invalid transform) or -1 (memory), with
// nothing held after a failure.
int32_t RgnBuildRectangles(const BitmapRecord& bitmap, const RgnRecord& region, const RgnTransform* transform,
                           RgnRectangleList& list);
