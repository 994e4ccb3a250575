// Region data blocks in the RGNDATA layout, as GetRegionData writes them, turned into region
// records. Blocks are checked whole before anything is allocated:
//
//   header (32 bytes)  Size 32 | Type 1 (rectangles) | Count | RgnSize | Bound (RECT)
//   rectangles         Count x {left, top, right, bottom}, y-x banded:
//                        band = consecutive rectangles with one top and one bottom,
//                        tops ascending, bands disjoint, rectangles in a band left to right
#pragma once
#include <cstdint>

#include "qsrecords.h"

struct RgnDataHeader {
  uint32_t Size;     // 32
  uint32_t Type;     // 1: rectangles
  uint32_t Count;    // rectangles that follow
  uint32_t RgnSize;  // bytes of the rectangles (not relied on)
  RECT Bound;
};
static_assert(sizeof(RgnDataHeader) == 32);

inline constexpr uint32_t kRgnDataHeaderSize = 32;
inline constexpr uint32_t kRgnDataRectangles = 1;

// Whether the block of `bytes` bytes has the rectangle header (size 32, type 1, its rectangles
// within the bytes) and is banded: tops never go up, rectangles of one top share the bottom.
// 1 or -13.
int32_t RgnCheckBanding(const void* data, uint32_t bytes);

// Whether the block of `bytes` bytes is well formed with every rectangle inside box: 1 or -13.
// Besides header size, type and banding (rectangles of one top share the bottom; tops never go
// up), bands must not overlap, rectangles of a band must not overlap, and no rectangle may be
// empty vertically. Rectangles empty horizontally are ignored.
int32_t RgnCheckRegionData(const void* data, uint32_t bytes, const RECT& box);

// The region of a block whose rectangles lie inside box (the region's bounding box): checks it
// (-13), then builds the record row by row over box (-1 for memory). Touching rectangles of a
// band become one segment. 1 with *out set.
int32_t RgnFromRegionData(const void* data, uint32_t bytes, const RECT& box, RgnRecord** out);
