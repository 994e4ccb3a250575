#include <windows.h>

#include "region/rgn_record.h"

void RgnDropCaches(RgnRecord& region) {
  if (region.CachedHandle) DeleteObject(static_cast<HGDIOBJ>(region.CachedHandle));
  if (region.MaskBitmap) DeleteObject(static_cast<HGDIOBJ>(region.MaskBitmap));
  region.CachedHandle = nullptr;
  region.MaskBitmap = nullptr;
}

HANDLE RgnDuplicateHandle(HANDLE region) {
  if (region == nullptr) return nullptr;
  HRGN copy = CreateRectRgn(0, 0, 0, 0);
  if (copy == nullptr) return nullptr;
  if (CombineRgn(copy, static_cast<HRGN>(region), nullptr, RGN_COPY) == ERROR) {
    DeleteObject(copy);
    return nullptr;
  }
  return copy;
}
