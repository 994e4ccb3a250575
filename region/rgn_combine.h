// The one operation that gives a bitmap a region: RgnCombine takes a new record in the caller's
// coordinates, carries it into the bitmap through an optional transform, merges it with the
// bitmap's region under a combine mode, cuts it to the bitmap unless region clipping is off, and
// makes the result the bitmap's region.
#pragma once
#include <cstdint>

#include "qsrecords.h"

// Combine modes (N = the new region after the transform, E = the bitmap's region, or the bitmap
// rectangle F when it has none).
inline constexpr uint32_t kRgnCombineAnd = 0;            // N and E
inline constexpr uint32_t kRgnCombineReplace = 1;        // N
inline constexpr uint32_t kRgnCombineNewMinusOld = 2;    // N minus E
inline constexpr uint32_t kRgnCombineOldMinusNew = 3;    // E minus N
inline constexpr uint32_t kRgnCombineOr = 4;             // N or E
inline constexpr uint32_t kRgnCombineXor = 5;            // N xor E
inline constexpr uint32_t kRgnCombineFrameMinusNew = 6;  // F minus N; E plays no part
inline constexpr uint32_t kRgnCombineModeCount = 7;

// Takes ownership of `region` whatever the outcome (callers never release it themselves). A null
// region removes the bitmap's region and returns 1. Returns 1, -2 (null bitmap), -789 (record
// size), -13 (invalid transform, non-right-angle turn, mode above 6), -1 (memory).
// The bitmap's region changes only on success. Region callback slot 7.
int32_t QSAPI RgnCombine(BitmapRecord* bitmap, const RgnTransform* transform, RgnRecord* region, uint32_t mode);
