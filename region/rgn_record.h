// The region record a bitmap carries, and the small helpers every region operation shares.
//
// Region layout (bitmap pixel coordinates, right and bottom exclusive):
//
//   Bounds        = {left, top, right, bottom}         all zero when the region is empty
//   RowTable      = RgnRow[bottom - top]               one entry per line top .. bottom-1
//                     [0] {Count 4, Offset  0} ---------.     line top: two segments
//                     [1] {Count 0, Offset  0}          |     an empty line inside the region
//                     [2] {Count 2, Offset 16} ----.    |     line top+2: one segment
//   Segments      = int32[]                        |    |
//                     byte  0: s0 e0 s1 e1  <------+----'     [s0, e0) [s1, e1), s0 < e0 <= s1 < e1
//                     byte 16: s0 e0        <------'
//   RowTableBytes = 8 * (bottom - top)   (trailing empty lines never have an entry)
//   SegmentBytes  = 4 * sum of Count
//
// An empty region has zero Bounds, zero sizes and null RowTable and Segments. The record, row
// table and segments come from the kernel's KrnAlloc family and the finished record is released
// with KrnFreeRgnMemory, which also deletes the two cached GDI handles.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>

#include "qskrn.h"
#include "qsrecords.h"

#if UINTPTR_MAX == 0xFFFFFFFFu
// The 32-bit protocol layout the kernel library and older callers rely on.
static_assert(sizeof(RgnTransform) == 28);
static_assert(offsetof(RgnTransform, Orientation) == 0);
static_assert(offsetof(RgnTransform, XScaleNum) == 4);
static_assert(offsetof(RgnTransform, XScaleDen) == 8);
static_assert(offsetof(RgnTransform, YScaleNum) == 12);
static_assert(offsetof(RgnTransform, YScaleDen) == 16);
static_assert(offsetof(RgnTransform, XOffset) == 20);
static_assert(offsetof(RgnTransform, YOffset) == 24);
static_assert(sizeof(RgnRow) == 8);
static_assert(offsetof(RgnRow, Count) == 0);
static_assert(offsetof(RgnRow, Offset) == 4);
static_assert(sizeof(RgnRecord) == 104);
static_assert(offsetof(RgnRecord, CachedHandle) == 0);
static_assert(offsetof(RgnRecord, CachedTransform) == 4);
static_assert(offsetof(RgnRecord, CachedPerspective) == 32);
static_assert(offsetof(RgnRecord, MaskBitmap) == 36);
static_assert(offsetof(RgnRecord, MaskTransform) == 40);
static_assert(offsetof(RgnRecord, MaskPerspective) == 68);
static_assert(offsetof(RgnRecord, Bounds) == 72);
static_assert(offsetof(RgnRecord, RowTableBytes) == 88);
static_assert(offsetof(RgnRecord, RowTable) == 92);
static_assert(offsetof(RgnRecord, SegmentBytes) == 96);
static_assert(offsetof(RgnRecord, Segments) == 100);
#endif

// Releases a finished record through the kernel (row table, segments, handles, record).
struct RgnRelease {
  void operator()(RgnRecord* region) const { KrnFreeRgnMemory(region); }
};
// A local owner for a record under construction or consumed by an operation.
using RgnOwner = std::unique_ptr<RgnRecord, RgnRelease>;

// Values of one row entry.
inline const int32_t* RgnRowValues(const RgnRecord& region, const RgnRow& row) {
  return reinterpret_cast<const int32_t*>(reinterpret_cast<const uint8_t*>(region.Segments) + row.Offset);
}
inline int32_t* RgnRowValues(RgnRecord& region, const RgnRow& row) {
  return reinterpret_cast<int32_t*>(reinterpret_cast<uint8_t*>(region.Segments) + row.Offset);
}

// The row entry of line y, or null when y is outside [Bounds.top, Bounds.bottom).
inline const RgnRow* RgnRowOf(const RgnRecord& region, int32_t y) {
  if (y < region.Bounds.top || y >= region.Bounds.bottom) return nullptr;
  return &region.RowTable[int64_t(y) - region.Bounds.top];
}

inline int32_t RgnRowCount(const RgnRecord& region) { return int32_t(region.RowTableBytes / sizeof(RgnRow)); }
inline bool RgnIsEmpty(const RgnRecord& region) { return region.RowTableBytes == 0; }

// Deletes CachedHandle and MaskBitmap (when present) and nulls them; the cached transforms stay.
void RgnDropCaches(RgnRecord& region);
// Frees the rows and segments and drops the caches: the record becomes the empty region.
void RgnMakeEmpty(RgnRecord& region);
// Moves the contents of `fresh` into `target` (whose old contents are released) and frees the
// fresh record's block; `target` keeps its identity. Cannot fail.
void RgnReplaceInPlace(RgnRecord& target, RgnRecord* fresh);
// A new, empty, zero-filled record; null when memory runs out.
RgnRecord* RgnAllocRecord();
// Copy of a GDI region handle for a record copy (null on the host, or when the copy fails).
HANDLE RgnDuplicateHandle(HANDLE region);
