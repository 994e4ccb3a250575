#include "region/rgn_record.h"

// The host build makes no GDI objects, so a record never holds one.
void RgnDropCaches(RgnRecord& region) {
  region.CachedHandle = nullptr;
  region.MaskBitmap = nullptr;
}

HANDLE RgnDuplicateHandle(HANDLE) { return nullptr; }
