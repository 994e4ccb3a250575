#include <cstring>
#include <vector>

#include "frame/result_codes.h"
#include "kernel/bitmap_storage.h"
#include "kernel/pixel_format.h"
#include "kernel/region_table.h"
#include "qskrn.h"

namespace {
bool HasStorage(const BitmapRecord* bitmap) {
  return bitmap != nullptr && bitmap->StructSize == QS_RECORD_SIZE && (bitmap->Flags & QS_FLAG_STORAGE) &&
         bitmap->Bits != nullptr;
}

// Checks a row transfer and finds where it starts in storage: the bytes to move (cut at the end
// of the stored line) or a result code.
int32_t RowSpan(const BitmapRecord* bitmap, const void* buffer, int32_t row, int32_t column, uint32_t bytes,
                uint8_t*& stored) {
  if (!HasStorage(bitmap)) return kResultNoBitmap;
  if (buffer == nullptr || row < 0 || row >= bitmap->Height || column < 0 || column >= bitmap->Width)
    return kResultBadArgument;
  const uint32_t offset = PixelOffsetBytes(bitmap->BitsPerPixel, column);
  const uint32_t available = uint32_t(bitmap->BytesPerLine) - offset;
  stored = StoredRow(*bitmap, row) + offset;
  return int32_t(bytes < available ? bytes : available);
}

using ClipSegmentsMaxFn = int32_t(QSAPI*)(BitmapRecord*, uint32_t*);
using ClipSegmentsFn = int32_t(QSAPI*)(BitmapRecord*, int32_t, int32_t*, uint32_t*);

void FillSpan(BitmapRecord& bitmap, uint8_t* row, int32_t start, int32_t end, uint64_t value) {
  if (start < 0) start = 0;
  if (end > bitmap.Width) end = bitmap.Width;
  for (int32_t x = start; x < end; ++x) StorePixel(row, bitmap.BitsPerPixel, x, value);
}
}  // namespace

uint32_t QSAPI KrnBeginBitmapAccess(BitmapRecord* bitmap) {
  if (bitmap == nullptr) return 0;
  return ++bitmap->KrnAccessCount;
}

int32_t QSAPI KrnReleaseBitmapAccess(BitmapRecord* bitmap, uint32_t token) {
  if (bitmap == nullptr) return kResultNoBitmap;
  if (token == 0 || token != bitmap->KrnAccessCount) return kResultBadArgument;
  --bitmap->KrnAccessCount;
  return kResultOk;
}

int32_t QSAPI KrnGetBitmapRow(const BitmapRecord* bitmap, void* buffer, int32_t row, int32_t column,
                              uint32_t bytes) {
  uint8_t* stored = nullptr;
  const int32_t n = RowSpan(bitmap, buffer, row, column, bytes, stored);
  if (n > 0) std::memcpy(buffer, stored, size_t(n));
  return n;
}

int32_t QSAPI KrnPutBitmapRow(BitmapRecord* bitmap, const void* buffer, int32_t row, int32_t column,
                              uint32_t bytes) {
  uint8_t* stored = nullptr;
  const int32_t n = RowSpan(bitmap, buffer, row, column, bytes, stored);
  if (n > 0) std::memcpy(stored, buffer, size_t(n));
  return n;
}

// Fills every pixel of the bitmap, or only those of its region when it has one and the display
// library has handed over its clip-segment entries.
int32_t QSAPI KrnFillBitmap(BitmapRecord* bitmap, COLORREF colour) {
  if (!HasStorage(bitmap)) return kResultNoBitmap;
  const uint64_t value = PixelValueForColor(*bitmap, colour);
  auto segmentsMax = reinterpret_cast<ClipSegmentsMaxFn>(RgnTableEntry(kSlotClipSegmentsMax));
  auto segments = reinterpret_cast<ClipSegmentsFn>(RgnTableEntry(kSlotClipSegments));
  if (bitmap->Region == nullptr || segmentsMax == nullptr || segments == nullptr) {
    for (int32_t y = 0; y < bitmap->Height; ++y) FillSpan(*bitmap, StoredRow(*bitmap, y), 0, bitmap->Width, value);
    return kResultOk;
  }
  uint32_t capacity = 0;
  int32_t code = segmentsMax(bitmap, &capacity);
  if (code != kResultOk) return code;
  std::vector<int32_t> values(capacity + 2);
  for (int32_t y = 0; y < bitmap->Height; ++y) {
    uint32_t count = 0;
    code = segments(bitmap, y, values.data(), &count);
    if (code != kResultOk) return code;
    uint8_t* row = StoredRow(*bitmap, y);
    for (uint32_t i = 0; i + 1 < count; i += 2) FillSpan(*bitmap, row, values[i], values[i + 1], value);
  }
  return kResultOk;
}

// Stores colours[x] (COLORREF) at every pixel x of the segments' columns of stored row `row`,
// each turned into the bitmap's pixel format; columns outside the row are skipped.
int32_t QSAPI KrnPutRowColors(BitmapRecord* bitmap, int32_t row, const uint32_t* colours, const int32_t* segments,
                              uint32_t count) {
  if (!HasStorage(bitmap)) return kResultNoBitmap;
  if (colours == nullptr || (segments == nullptr && count != 0) || row < 0 || row >= bitmap->Height)
    return kResultBadArgument;
  uint8_t* stored = StoredRow(*bitmap, row);
  for (uint32_t i = 0; i + 1 < count; i += 2) {
    const int32_t start = segments[i] < 0 ? 0 : segments[i];
    const int32_t end = segments[i + 1] > bitmap->Width ? bitmap->Width : segments[i + 1];
    for (int32_t x = start; x < end; ++x)
      StorePixel(stored, bitmap->BitsPerPixel, x, PixelValueForColor(*bitmap, colours[x]));
  }
  return kResultOk;
}
