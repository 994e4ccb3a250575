#include <cstring>

#include "frame/result_codes.h"
#include "kernel/bitmap_storage.h"
#include "kernel/memory.h"
#include "kernel/pixel_format.h"
#include "kernel/region_table.h"
#include "qskrn.h"

namespace {
constexpr int32_t kDefaultGamma = 100;

bool IsColorOrder(int32_t bits) { return bits == 24 || bits == 32 || bits == 48 || bits == 64 || bits == 16; }

// Fills the descriptive fields of a record that owns nothing yet, building its tone table and
// palette aside; on failure nothing is allocated.
int32_t Describe(BitmapRecord& record, int32_t width, int32_t height, int32_t bits, int32_t order,
                 const RGBQUAD* palette, int32_t orientation) {
  const int32_t stride = StorableRowBytes(bits, width, height);
  if (stride < 0 || orientation < 1 || orientation > 8) return kResultBadArgument;

  auto* paintLut = static_cast<uint8_t*>(KrnAlloc(256));
  if (paintLut == nullptr) return kResultNoMemory;
  for (int i = 0; i < 256; ++i) paintLut[i] = static_cast<uint8_t>(i);

  RGBQUAD* table = nullptr;
  const int32_t colours = bits <= 8 ? 1 << bits : 0;
  if (colours > 0) {
    table = static_cast<RGBQUAD*>(KrnAlloc(uint32_t(colours) * sizeof(RGBQUAD)));
    if (table == nullptr) {
      KrnFree(paintLut);
      return kResultNoMemory;
    }
    for (int32_t i = 0; i < colours; ++i) {
      if (palette) {
        table[i] = palette[i];
      } else {
        const auto level = static_cast<uint8_t>(i * 255 / (colours - 1));
        table[i] = RGBQUAD{level, level, level, 0};
      }
    }
  }

  std::memset(&record, 0, sizeof(record));
  record.StructSize = QS_RECORD_SIZE;
  record.Width = width;
  record.Height = height;
  record.BitsPerPixel = bits;
  record.BytesPerLine = stride;
  record.ColorCount = colours;
  record.Palette = table;
  record.Orientation = orientation;
  record.Order = order;
  record.XResolution = 96;
  record.YResolution = 96;
  record.LowBit = 0;
  record.HighBit = bits == 12 ? 11 : (bits == 16 && order == 2 ? 15 : 7);
  record.WindowLowBit = record.LowBit;
  record.WindowHighBit = record.HighBit;
  record.MinVal = 0;
  record.MaxVal = int32_t((1u << (record.HighBit - record.LowBit + 1)) - 1u);
  record.PaintGamma = kDefaultGamma;
  record.PaintLUT = paintLut;
  return kResultOk;
}

template <typename T>
int32_t DuplicateBlock(const T* source, size_t bytes, T** out) {
  *out = nullptr;
  if (source == nullptr || bytes == 0) return kResultOk;
  void* copy = KrnAlloc(static_cast<uint32_t>(bytes));
  if (copy == nullptr) return kResultNoMemory;
  std::memcpy(copy, source, bytes);
  *out = static_cast<T*>(copy);
  return kResultOk;
}
}  // namespace

int32_t QSAPI KrnInitBitmap(BitmapRecord* bitmap, uint32_t structSize, int32_t width, int32_t height,
                            int32_t bitsPerPixel) {
  if (bitmap == nullptr) return kResultNoBitmap;
  if (structSize != QS_RECORD_SIZE) return kResultBadStructSize;
  const int32_t order = bitsPerPixel == 12 ? 2 : (IsColorOrder(bitsPerPixel) ? 1 : 0);
  BitmapRecord record;
  const int32_t code = Describe(record, width, height, bitsPerPixel, order, nullptr, 1);
  if (code == kResultOk) *bitmap = record;
  return code;
}

int32_t QSAPI KrnAllocBitmapStorage(BitmapRecord* bitmap, int32_t memoryKind) {
  if (bitmap == nullptr) return kResultNoBitmap;
  if (bitmap->StructSize != QS_RECORD_SIZE) return kResultBadStructSize;
  if (bitmap->Flags & QS_FLAG_STORAGE) return kResultBadArgument;
  return AllocateStorage(*bitmap, memoryKind);
}

int32_t QSAPI KrnAllocateBitmap(BitmapRecord* bitmap, uint32_t structSize, int32_t memoryKind, int32_t width,
                                int32_t height, int32_t bitsPerPixel, int32_t order, const RGBQUAD* palette,
                                int32_t orientation, const void* data, uint32_t size) {
  if (bitmap == nullptr) return kResultNoBitmap;
  if (structSize != QS_RECORD_SIZE) return kResultBadStructSize;
  if (memoryKind != KRN_MEMORY_ONE_BLOCK && memoryKind != KRN_MEMORY_ROWS) return kResultBadArgument;
  BitmapRecord record;
  int32_t code = Describe(record, width, height, bitsPerPixel, order, palette, orientation);
  if (code != kResultOk) return code;
  code = AllocateStorage(record, memoryKind);
  if (code != kResultOk) {
    FreeOwnedBlocks(record);
    return code;
  }
  if (data != nullptr) {
    const auto* bytes = static_cast<const uint8_t*>(data);
    for (int32_t y = 0; y < record.Height && size > 0; ++y) {
      const uint32_t n = size < uint32_t(record.BytesPerLine) ? size : uint32_t(record.BytesPerLine);
      std::memcpy(StoredRow(record, y), bytes, n);
      bytes += n;
      size -= n;
    }
  }
  *bitmap = record;
  return kResultOk;
}

int32_t QSAPI KrnFreeBitmap(BitmapRecord* bitmap) {
  if (bitmap == nullptr) return kResultNoBitmap;
  if (bitmap->StructSize != QS_RECORD_SIZE) return kResultBadStructSize;
  FreeOwnedBlocks(*bitmap);
  std::memset(bitmap, 0, sizeof(*bitmap));
  bitmap->StructSize = QS_RECORD_SIZE;
  return kResultOk;
}

// A deep copy: pixels, palette, tone tables and region (through the display library's region
// copy). The copy is built aside and lands in destination only when every part succeeded.
// Overlays are not copied: they belong to the source.
int32_t QSAPI KrnCopyBitmap(BitmapRecord* destination, const BitmapRecord* source, uint32_t structSize) {
  if (destination == nullptr || source == nullptr) return kResultNoBitmap;
  if (structSize != QS_RECORD_SIZE || source->StructSize != QS_RECORD_SIZE) return kResultBadStructSize;

  BitmapRecord copy = *source;
  copy.Bits = nullptr;
  copy.Flags &= ~(QS_FLAG_STORAGE | QS_FLAG_ONE_BLOCK | QS_FLAG_ROW_BLOCKS);
  copy.Palette = nullptr;
  copy.LUT = nullptr;
  copy.PaintLUT = nullptr;
  copy.Overlays = nullptr;
  copy.KrnAccessCount = 0;
  copy.Region = nullptr;

  int32_t code = DuplicateBlock(source->Palette, size_t(source->ColorCount > 0 ? source->ColorCount : 0) * 4,
                                &copy.Palette);
  if (code == kResultOk) code = DuplicateBlock(source->PaintLUT, 256, &copy.PaintLUT);
  if (code == kResultOk)
    code = DuplicateBlock(source->LUT, size_t(source->LUTLength > 0 ? source->LUTLength : 0) * 4, &copy.LUT);
  if (code == kResultOk && (source->Flags & QS_FLAG_STORAGE)) {
    code = AllocateStorage(copy, int32_t(source->KrnStorageKind));
    for (int32_t y = 0; code == kResultOk && y < copy.Height; ++y)
      std::memcpy(StoredRow(copy, y), StoredRow(*source, y), size_t(copy.BytesPerLine));
  }
  if (code == kResultOk && source->Region != nullptr) {
    // The copy still names the source's region; the region copy replaces it with its own.
    copy.Region = source->Region;
    code = CallRgnCopyToBitmap(&copy, source);
    if (code != kResultOk) copy.Region = nullptr;
  }
  if (code != kResultOk) {
    FreeOwnedBlocks(copy);
    return code;
  }
  *destination = copy;
  return kResultOk;
}
