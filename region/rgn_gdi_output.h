// Region records made into GDI regions (Windows builds only).
#pragma once
#include <windows.h>

#include <cstdint>

#include "qsrecords.h"

// The GDI region of a record, each rectangle mapped through RgnMapRectOut(bitmap, transform):
// identical rows become one band, and the rectangles go to the system in pieces it accepts.
// 1 with *out set (the caller's to delete); -13 for an invalid transform; -1.
int32_t RgnToGdiRegion(const BitmapRecord& bitmap, const RgnRecord& region, const RgnTransform* transform, HRGN* out);
