// GDI regions turned into region records (Windows builds only): the region-data conversion that
// every GDI-based region producer shares, and its hand-over to RgnCombine.
#pragma once
#include <windows.h>

#include <cstdint>

#include "qsrecords.h"

// The rows of a GDI region, read once in its rectangle form. 1 with *out set (an empty region
// gives an empty record); -13 for a handle that is not a region or data that fail the checks of
// RgnCheckRegionData; -1 for memory. The handle is only read.
int32_t RgnFromGdiRegion(HRGN region, RgnRecord** out);

// RgnFromGdiRegion of a temporary region, which is deleted here whatever the outcome, then
// RgnCombine into the bitmap. A null temporary region (the system refused to make it) gives -1.
int32_t RgnCombineTemporaryGdiRegion(BitmapRecord* bitmap, const RgnTransform* transform, HRGN temporary,
                                     uint32_t mode);

// The polygon fill mode of a shape's fill-mode argument (0 winding, 1 alternate).
inline int ShapeFillMode(uint32_t fillMode) { return fillMode == 0 ? WINDING : ALTERNATE; }
