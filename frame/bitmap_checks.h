// The argument checks every exported function runs first, in the one fixed order: missing
// bitmap, record size, pixel storage; the other arguments come after, in each function.
#pragma once
#include <cstdint>

#include "frame/result_codes.h"
#include "qsrecords.h"

inline constexpr uint32_t kBitmapRecordSize = QS_RECORD_SIZE;

// Painting, tone setters, clipboard and DDB functions: a missing bitmap and a bitmap without
// storage are both -2.
inline int32_t CheckPaintableBitmap(const BitmapRecord* bitmap) {
  if (bitmap == nullptr) return kResultNoBitmap;
  if (bitmap->StructSize != kBitmapRecordSize) return kResultBadStructSize;
  if ((bitmap->Flags & QS_FLAG_STORAGE) == 0) return kResultNoBitmap;
  return kResultOk;
}

// Functions that test the pointer and the size only; missingCode is the family's code for a
// null pointer (-2, -13 or -814).
inline int32_t CheckBitmapRecord(const BitmapRecord* bitmap, int32_t missingCode) {
  if (bitmap == nullptr) return missingCode;
  if (bitmap->StructSize != kBitmapRecordSize) return kResultBadStructSize;
  return kResultOk;
}

// Region, magic-wand and pan-window functions: -814 for a null pointer, then the size, then
// the storage flag where pixels are needed.
inline int32_t CheckRegionBitmap(const BitmapRecord* bitmap, bool needsPixels) {
  int32_t code = CheckBitmapRecord(bitmap, kResultNullBitmap);
  if (code != kResultOk) return code;
  if (needsPixels && (bitmap->Flags & QS_FLAG_STORAGE) == 0) return kResultNoBitmap;
  return kResultOk;
}
