#include "kernel/bitmap_storage.h"

#include "frame/result_codes.h"
#include "kernel/memory.h"
#include "qskrn.h"

uint8_t* StoredRow(const BitmapRecord& bitmap, int32_t row) {
  if (bitmap.KrnStorageKind == KRN_MEMORY_ROWS) return static_cast<uint8_t**>(bitmap.Bits)[row];
  return static_cast<uint8_t*>(bitmap.Bits) + size_t(row) * size_t(bitmap.BytesPerLine);
}

int32_t AllocateStorage(BitmapRecord& bitmap, int32_t memoryKind) {
  const size_t stride = size_t(bitmap.BytesPerLine);
  const size_t rows = size_t(bitmap.Height);
  if (bitmap.Width <= 0 || bitmap.Height <= 0 || stride == 0) return kResultBadArgument;
  if (memoryKind == KRN_MEMORY_ONE_BLOCK) {
    void* block = CountedAlloc(BlockFamily::Storage, stride * rows, true);
    if (block == nullptr) return kResultNoMemory;
    bitmap.Bits = block;
    bitmap.Flags = (bitmap.Flags & ~QS_FLAG_ROW_BLOCKS) | QS_FLAG_STORAGE | QS_FLAG_ONE_BLOCK;
  } else if (memoryKind == KRN_MEMORY_ROWS) {
    auto** table = static_cast<uint8_t**>(CountedAlloc(BlockFamily::Storage, rows * sizeof(uint8_t*), true));
    if (table == nullptr) return kResultNoMemory;
    for (size_t y = 0; y < rows; ++y) {
      table[y] = static_cast<uint8_t*>(CountedAlloc(BlockFamily::Storage, stride, true));
      if (table[y] != nullptr) continue;
      for (size_t k = 0; k < y; ++k) CountedFree(BlockFamily::Storage, table[k]);
      CountedFree(BlockFamily::Storage, table);
      return kResultNoMemory;
    }
    bitmap.Bits = table;
    bitmap.Flags = (bitmap.Flags & ~QS_FLAG_ONE_BLOCK) | QS_FLAG_STORAGE | QS_FLAG_ROW_BLOCKS;
  } else {
    return kResultBadArgument;
  }
  bitmap.KrnStorageKind = uint32_t(memoryKind);
  return kResultOk;
}

void FreeStorage(BitmapRecord& bitmap) {
  if ((bitmap.Flags & QS_FLAG_STORAGE) == 0 || bitmap.Bits == nullptr) return;
  if (bitmap.KrnStorageKind == KRN_MEMORY_ROWS) {
    auto** table = static_cast<uint8_t**>(bitmap.Bits);
    for (int32_t y = 0; y < bitmap.Height; ++y) CountedFree(BlockFamily::Storage, table[y]);
  }
  CountedFree(BlockFamily::Storage, bitmap.Bits);
  bitmap.Bits = nullptr;
  bitmap.Flags &= ~(QS_FLAG_STORAGE | QS_FLAG_ONE_BLOCK | QS_FLAG_ROW_BLOCKS);
}

void FreeOwnedBlocks(BitmapRecord& bitmap) {
  FreeStorage(bitmap);
  KrnFree(bitmap.Palette);
  KrnFree(bitmap.PaintLUT);
  KrnFree(bitmap.LUT);
  KrnFreeRgnMemory(bitmap.Region);
  bitmap.Palette = nullptr;
  bitmap.PaintLUT = nullptr;
  bitmap.LUT = nullptr;
  bitmap.Region = nullptr;
}
