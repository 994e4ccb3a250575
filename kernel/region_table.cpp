#include "kernel/region_table.h"

#include <atomic>

#include "frame/result_codes.h"

namespace {
std::atomic<KrnRgnEntry> gTable[KRN_RGN_ENTRY_COUNT];
std::atomic<int32_t> gTableSetCount{0};

using CopyToBitmapFn = int32_t(QSAPI*)(BitmapRecord*, const BitmapRecord*, int32_t, int32_t);
}  // namespace

void QSAPI KrnSetRgnCallbacks(const KrnRgnEntry* table) {
  for (int32_t i = 0; i < KRN_RGN_ENTRY_COUNT; ++i) gTable[i].store(table ? table[i] : nullptr);
  gTableSetCount.fetch_add(1);
}

KrnRgnEntry RgnTableEntry(int32_t slot) {
  return slot >= 1 && slot <= KRN_RGN_ENTRY_COUNT ? gTable[slot - 1].load() : nullptr;
}

int32_t QSAPI KrnTestGetRgnCallbacks(KrnRgnEntry* out) {
  if (out != nullptr)
    for (int32_t i = 0; i < KRN_RGN_ENTRY_COUNT; ++i) out[i] = gTable[i].load();
  return gTableSetCount.load();
}

int32_t CallRgnCopyToBitmap(BitmapRecord* target, const BitmapRecord* source) {
  auto copy = reinterpret_cast<CopyToBitmapFn>(RgnTableEntry(kSlotCopyToBitmap));
  if (copy == nullptr) {
    target->Region = nullptr;
    return kResultOk;
  }
  return copy(target, source, 0, 0);
}

void QSAPI KrnFreeRgnMemory(RgnRecord* region) {
  if (region == nullptr) return;
  DeleteRegionHandles(*region);
  KrnFree(region->RowTable);
  KrnFree(region->Segments);
  KrnFree(region);
}
