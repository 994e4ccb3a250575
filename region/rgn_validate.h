// The one well-formedness check of a region record, used by every region test after every
// operation and asserted at the exit of region operations in debug builds.
#pragma once
#include <cassert>

#include "qsrecords.h"

// Segments ascending, non-empty and disjoint per row; Bounds tight (all zero when empty); the
// row table covers exactly Bounds.top .. Bounds.bottom-1 with a non-empty first and last row;
// row offsets and SegmentBytes agree; pointers null exactly when the region is empty.
bool RgnIsWellFormed(const RgnRecord& region);

// Debug builds check every record a region operation leaves behind.
#ifdef NDEBUG
#define RGN_ASSERT_WELL_FORMED(region) ((void)0)
#else
#define RGN_ASSERT_WELL_FORMED(region) assert((region) == nullptr || RgnIsWellFormed(*(region)))
#endif
