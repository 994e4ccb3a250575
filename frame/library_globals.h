// The display library's process-wide values; written only by the entry routine.
#pragma once
#include <cstdint>

struct LibraryGlobals {
  void* ModuleHandle = nullptr;
  int32_t AttachCount = 0;
  int32_t SlotIndex = -1;
  uint32_t RegionClipboardFormat = 0;
};

LibraryGlobals& Globals();
// Registers "QORBSUITE 8.0 Region" where there is a clipboard; 0 elsewhere.
uint32_t RegisterRegionClipboardFormat();
