#include <windows.h>

#include "kernel/region_table.h"

void DeleteRegionHandles(RgnRecord& region) {
  if (region.CachedHandle) DeleteObject(static_cast<HGDIOBJ>(region.CachedHandle));
  if (region.MaskBitmap) DeleteObject(static_cast<HGDIOBJ>(region.MaskBitmap));
  region.CachedHandle = nullptr;
  region.MaskBitmap = nullptr;
}
