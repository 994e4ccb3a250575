// The display library's region entry points as the kernel holds them, and the kernel's own
// uses of them. Slot numbers are 1-based as in the table the display library hands over.
#pragma once
#include <cstdint>

#include "qskrn.h"

enum RgnSlot : int32_t {
  kSlotMirrorBitmap = 1,
  kSlotCopyToBitmap = 2,
  kSlotClipSegmentsMax = 4,
  kSlotClipSegments = 5,
  kSlotResizeBitmap = 6,
  kSlotFlipBitmap = 19,
};

KrnRgnEntry RgnTableEntry(int32_t slot);
// RgnCopyToBitmap(target, source, 0, 0); without the entry the target has no region.
int32_t CallRgnCopyToBitmap(BitmapRecord* target, const BitmapRecord* source);
// Deletes the record's GDI handles (Windows builds only have any).
void DeleteRegionHandles(RgnRecord& region);
