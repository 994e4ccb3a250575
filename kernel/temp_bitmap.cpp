// Work records: a bitmap description of another size that looks like an existing bitmap (same
// order, palette and tone table, shared, not copied), for a row source or a short-lived buffer.
// A work record is released with KrnReleaseTempBitmap, which frees only what it allocated.
#include <cstring>

#include "frame/result_codes.h"
#include "kernel/bitmap_storage.h"
#include "kernel/pixel_format.h"
#include "qskrn.h"

namespace {
// Marks a record made here, in the kernel's own field at offset 160.
constexpr uint32_t kTempTag = 0x54454D50;  // "TEMP"

void CopyRangeFields(BitmapRecord& dest, const BitmapRecord& source) {
  dest.Order = source.Order;
  dest.XResolution = source.XResolution;
  dest.YResolution = source.YResolution;
  dest.LowBit = source.LowBit;
  dest.HighBit = source.HighBit;
  dest.MinVal = source.MinVal;
  dest.MaxVal = source.MaxVal;
  dest.WindowLowBit = source.WindowLowBit;
  dest.WindowHighBit = source.WindowHighBit;
  dest.Flags = (dest.Flags & ~QS_FLAG_WINDOW_LUT) | (source.Flags & QS_FLAG_WINDOW_LUT);
}
}  // namespace

// memoryKind 0 describes the record without storage; KRN_MEMORY_ONE_BLOCK or KRN_MEMORY_ROWS
// also allocates zeroed storage. The palette is shared when the depth is the bitmap's own.
int32_t QSAPI KrnInitResizedBitmap(BitmapRecord* work, const BitmapRecord* bitmap, uint32_t structSize,
                                   int32_t width, int32_t height, int32_t bitsPerPixel, int32_t memoryKind) {
  if (work == nullptr || bitmap == nullptr) return kResultNoBitmap;
  if (structSize != QS_RECORD_SIZE || bitmap->StructSize != QS_RECORD_SIZE) return kResultBadStructSize;
  const int32_t stride = StorableRowBytes(bitsPerPixel, width, height);
  if (stride < 0 || memoryKind < 0 || memoryKind > KRN_MEMORY_ROWS) return kResultBadArgument;

  BitmapRecord record;
  std::memset(&record, 0, sizeof(record));
  record.StructSize = QS_RECORD_SIZE;
  record.Width = width;
  record.Height = height;
  record.BitsPerPixel = bitsPerPixel;
  record.BytesPerLine = stride;
  record.Orientation = 1;
  CopyRangeFields(record, *bitmap);
  if (bitsPerPixel == bitmap->BitsPerPixel) {
    record.Palette = bitmap->Palette;
    record.ColorCount = bitmap->ColorCount;
  }
  record.PaintGamma = bitmap->PaintGamma;
  record.PaintContrast = bitmap->PaintContrast;
  record.PaintIntensity = bitmap->PaintIntensity;
  record.PaintLUT = bitmap->PaintLUT;
  record.Flags |= bitmap->Flags & QS_FLAG_PAINT_LUT;
  record.KrnReserved160 = kTempTag;
  if (memoryKind != 0) {
    const int32_t code = AllocateStorage(record, memoryKind);
    if (code != kResultOk) return code;
  }
  *work = record;
  return kResultOk;
}

// Copies the descriptive value fields (order, resolution, value range and window, the window-LUT
// flag) from source to dest; pointers, size and storage of dest stay as they are.
int32_t QSAPI KrnCopyBitmapInfo(BitmapRecord* dest, const BitmapRecord* source) {
  if (dest == nullptr || source == nullptr) return kResultNoBitmap;
  if (dest->StructSize != QS_RECORD_SIZE || source->StructSize != QS_RECORD_SIZE) return kResultBadStructSize;
  CopyRangeFields(*dest, *source);
  return kResultOk;
}

// Frees the storage a work record allocated and clears it; shared tables are left alone.
int32_t QSAPI KrnReleaseTempBitmap(BitmapRecord* work) {
  if (work == nullptr) return kResultNoBitmap;
  if (work->StructSize != QS_RECORD_SIZE) return kResultBadStructSize;
  if (work->KrnReserved160 != kTempTag) return kResultBadArgument;
  FreeStorage(*work);
  std::memset(work, 0, sizeof(*work));
  work->StructSize = QS_RECORD_SIZE;
  return kResultOk;
}
