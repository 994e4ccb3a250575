// Read-only questions about a bitmap's region, its removal, and the region clipping switch.
// Without a region a bitmap answers as if all of (0, 0, Width, Height) were selected.
#include "frame/bitmap_checks.h"
#include "frame/result_codes.h"
#include "qsdisp.h"
#include "region/rgn_ops.h"
#include "region/rgn_record.h"

namespace {
RECT RegionOrFrame(const BitmapRecord& bitmap) {
  return bitmap.Region ? bitmap.Region->Bounds : RECT{0, 0, bitmap.Width, bitmap.Height};
}

// First index (in values) of a segment whose end lies after x, or count when none does.
int32_t FirstEndingAfter(const int32_t* v, int32_t count, int32_t x) {
  int32_t lo = 0, hi = count / 2;
  while (lo < hi) {
    const int32_t mid = (lo + hi) / 2;
    if (v[2 * mid + 1] <= x) {
      lo = mid + 1;
    } else {
      hi = mid;
    }
  }
  return 2 * lo;
}
}  // namespace

int32_t QSAPI Q_BitmapHasRgn(const BitmapRecord* bitmap) {
  return bitmap != nullptr && bitmap->StructSize == kBitmapRecordSize && bitmap->Region != nullptr ? 1 : 0;
}

int32_t QSAPI Q_FreeBitmapRgn(BitmapRecord* bitmap) {
  const int32_t code = CheckBitmapRecord(bitmap, kResultBadArgument);
  if (code != kResultOk) return code;
  KrnFreeRgnMemory(bitmap->Region);
  bitmap->Region = nullptr;
  return kResultOk;
}

int32_t QSAPI Q_GetBitmapRgnBounds(const BitmapRecord* bitmap, const RgnTransform* transform, RECT* rect) {
  if (bitmap == nullptr || rect == nullptr) return kResultNoBitmap;
  if (bitmap->StructSize != kBitmapRecordSize) return kResultBadStructSize;
  RECT r = RegionOrFrame(*bitmap);
  const int32_t code = RgnMapRectOut(*bitmap, transform, r);
  if (code != kResultOk) return code;
  *rect = r;
  return kResultOk;
}

int32_t QSAPI Q_GetBitmapRgnBoundsClip(const BitmapRecord* bitmap, const RgnTransform* transform, RECT* rect) {
  int32_t code = CheckBitmapRecord(bitmap, kResultNullBitmap);
  if (code != kResultOk) return code;
  if (rect == nullptr) return kResultNoBitmap;
  RECT r = RegionOrFrame(*bitmap);
  code = RgnMapRectOut(*bitmap, transform, r);
  if (code != kResultOk) return code;
  // Cut to the bitmap rectangle as it is, after the mapping; an empty cut is all zero.
  if (r.left < 0) r.left = 0;
  if (r.top < 0) r.top = 0;
  if (r.right > bitmap->Width) r.right = bitmap->Width;
  if (r.bottom > bitmap->Height) r.bottom = bitmap->Height;
  if (r.left >= r.right || r.top >= r.bottom) r = RECT{0, 0, 0, 0};
  *rect = r;
  return kResultOk;
}

int32_t QSAPI Q_IsPtInBitmapRgn(const BitmapRecord* bitmap, int32_t row, int32_t column) {
  if (bitmap == nullptr || bitmap->StructSize != kBitmapRecordSize) return 0;
  const RgnRecord* region = bitmap->Region;
  if (region == nullptr) return column >= 0 && column < bitmap->Width && row >= 0 && row < bitmap->Height ? 1 : 0;
  const RECT& b = region->Bounds;
  if (column < b.left || column >= b.right || row < b.top || row >= b.bottom) return 0;
  const RgnRow& entry = region->RowTable[row - b.top];
  if (entry.Count == 0) return 0;
  const int32_t* v = RgnRowValues(*region, entry);
  if (column < v[0] || column >= v[entry.Count - 1]) return 0;
  const int32_t k = FirstEndingAfter(v, entry.Count, column);
  return k < entry.Count && v[k] <= column ? 1 : 0;
}

int32_t QSAPI Q_GetBitmapRgnArea(const BitmapRecord* bitmap, uint32_t* area) {
  int32_t code = CheckBitmapRecord(bitmap, kResultNoBitmap);
  if (code != kResultOk) return code;
  if (area == nullptr) return kResultBadArgument;
  const RgnRecord* region = bitmap->Region;
  if (region == nullptr) {
    *area = uint32_t(bitmap->Height) * uint32_t(bitmap->Width);
    return kResultOk;
  }
  uint32_t sum = 0;
  const uint32_t values = region->SegmentBytes / 4;
  for (uint32_t k = 0; k < values; k += 2) sum += uint32_t(region->Segments[k + 1]) - uint32_t(region->Segments[k]);
  *area = sum;
  return kResultOk;
}

int32_t QSAPI Q_GetBitmapClipSegmentsMax(const BitmapRecord* bitmap, uint32_t* values) {
  if (bitmap == nullptr) return kResultNoBitmap;
  if (values == nullptr) return kResultBadArgument;
  if (bitmap->StructSize != kBitmapRecordSize) return kResultBadStructSize;
  const RgnRecord* region = bitmap->Region;
  if (region == nullptr) {
    *values = 2;
    return kResultOk;
  }
  // A row of the region's width holds at most alternate single pixels.
  const int64_t span = int64_t(region->Bounds.right) - region->Bounds.left + 1;
  *values = span < 0 ? 0 : uint32_t(span) & ~1u;
  return kResultOk;
}

int32_t QSAPI Q_GetBitmapClipSegments(const BitmapRecord* bitmap, int32_t row, int32_t* buffer, uint32_t* count) {
  if (bitmap == nullptr) return kResultNoBitmap;
  if (count == nullptr || buffer == nullptr) return kResultBadArgument;
  if (bitmap->StructSize != kBitmapRecordSize) return kResultBadStructSize;
  const RgnRecord* region = bitmap->Region;
  if (region == nullptr) {
    buffer[0] = 0;
    buffer[1] = bitmap->Width;
    *count = 2;
    return kResultOk;
  }
  const bool clips = RgnClipsToBitmap(*bitmap);
  const RgnRow* entry = RgnRowOf(*region, row);
  if ((!clips && (row < 0 || row >= bitmap->Height)) || entry == nullptr || entry->Count == 0) {
    *count = 0;
    return kResultOk;
  }
  const int32_t* v = RgnRowValues(*region, *entry);
  int32_t first = 0, last = entry->Count;  // values [first, last)
  if (!clips) {
    // Cut to [0, Width): drop segments that end at or before 0 or start at or after Width.
    const int32_t width = bitmap->Width;
    first = FirstEndingAfter(v, entry->Count, 0);
    while (last > first && v[last - 2] >= width) last -= 2;
  }
  const int32_t n = last - first;
  for (int32_t k = 0; k < n; ++k) buffer[k] = v[first + k];
  if (!clips && n > 0) {
    if (buffer[0] < 0) buffer[0] = 0;
    if (buffer[n - 1] > bitmap->Width) buffer[n - 1] = bitmap->Width;
  }
  *count = uint32_t(n);
  return kResultOk;
}

int32_t QSAPI Q_SetBitmapRgnClip(BitmapRecord* bitmap, int32_t clip) {
  const int32_t code = CheckBitmapRecord(bitmap, kResultNullBitmap);
  if (code != kResultOk) return code;
  if (clip != 0) {
    bitmap->Flags &= ~QS_FLAG_RGN_UNCLIPPED;
  } else {
    bitmap->Flags |= QS_FLAG_RGN_UNCLIPPED;
  }
  return kResultOk;
}

int32_t QSAPI Q_GetBitmapRgnClip(const BitmapRecord* bitmap, uint32_t* clip) {
  const int32_t code = CheckBitmapRecord(bitmap, kResultNullBitmap);
  if (code != kResultOk) return code;
  if (clip == nullptr) return kResultBadArgument;
  *clip = RgnClipsToBitmap(*bitmap) ? 1 : 0;
  return kResultOk;
}
