#include "kernel/region_table.h"

// The host build makes no GDI objects.
void DeleteRegionHandles(RgnRecord& region) {
  region.CachedHandle = nullptr;
  region.MaskBitmap = nullptr;
}
