// A bitmap's region handed out as GDI regions and region data. Handles are built from the
// banded rectangle list in pieces, because the system may refuse very large region data, and
// kept in the record per transform; a change of offsets alone moves the kept region.
#include <windows.h>

#include "frame/bitmap_checks.h"
#include "qsdisp.h"
#include "qskrn.h"
#include "region/rgn_combine.h"
#include "region/rgn_gdi_input.h"
#include "region/rgn_gdi_output.h"
#include "region/rgn_ops.h"
#include "region/rgn_record.h"
#include "region/rgn_rectangles.h"
#include "region/rgn_region_data.h"

namespace {
constexpr uint32_t kPieceLimit = 4000;  // rectangles per ExtCreateRegion call at first
constexpr uint32_t kSmallestPiece = 2;
constexpr int kWorkListSize = 32;

struct Piece {
  uint32_t First, Count;
};

// The region of rectangles [first, first + count) of the list. Its header is written into the
// 32 bytes before the first rectangle, which belong to rectangles already made (pieces are
// made in order) or to the list's own header.
HRGN MakePiece(const RgnRectangleList& list, uint32_t first, uint32_t count) {
  RECT* rects = list.Rectangles() + first;
  auto* header = reinterpret_cast<RgnDataHeader*>(rects) - 1;
  RECT bound = list.Block->Bound;
  bound.top = rects[0].top;
  bound.bottom = rects[0].bottom;
  for (uint32_t i = 1; i < count; ++i) bound.bottom = rects[i].bottom > bound.bottom ? rects[i].bottom : bound.bottom;
  *header = RgnDataHeader{kRgnDataHeaderSize, kRgnDataRectangles, count, count * uint32_t(sizeof(RECT)), bound};
  return ExtCreateRegion(nullptr, kRgnDataHeaderSize + count * uint32_t(sizeof(RECT)),
                         reinterpret_cast<const RGNDATA*>(header));
}

// Joins the list's pieces into one region; a refused piece is split in two and the limit
// halved, down to pieces of two rectangles. 1 with *out set, or -1 with nothing held.
int32_t JoinPieces(const RgnRectangleList& list, HRGN* out) {
  if (list.Count == 0) {
    *out = CreateRectRgn(0, 0, 0, 0);
    return *out != nullptr ? kResultOk : kResultNoMemory;
  }
  Piece work[kWorkListSize];
  int held = 0;
  work[held++] = Piece{0, list.Count};
  uint32_t limit = list.Count < kPieceLimit ? list.Count : kPieceLimit;
  HRGN joined = nullptr;
  auto fail = [&] {
    if (joined != nullptr) DeleteObject(joined);
    return kResultNoMemory;
  };
  while (held > 0) {
    const Piece p = work[--held];
    if (p.Count <= limit) {
      HRGN made = MakePiece(list, p.First, p.Count);
      if (made != nullptr) {
        if (joined == nullptr) {
          joined = made;
        } else {
          const int combined = CombineRgn(joined, joined, made, RGN_OR);
          DeleteObject(made);
          if (combined == ERROR) return fail();
        }
        continue;
      }
      if (p.Count <= kSmallestPiece) return fail();
      limit = p.Count / 2 > kSmallestPiece ? p.Count / 2 : kSmallestPiece;
    }
    if (held + 2 > kWorkListSize) return fail();
    // The first half goes on top so that pieces are made in order.
    const uint32_t second = (p.Count + 1) / 2;
    work[held++] = Piece{p.First + p.Count - second, second};
    work[held++] = Piece{p.First, p.Count - second};
  }
  *out = joined;
  return kResultOk;
}

// A copy of a region the caller may delete; null when the system refuses.
HRGN CopyRegion(HRGN region) { return static_cast<HRGN>(RgnDuplicateHandle(region)); }
}  // namespace

int32_t RgnToGdiRegion(const BitmapRecord& bitmap, const RgnRecord& region, const RgnTransform* transform,
                       HRGN* out) {
  RgnRectangleList list;
  const int32_t code = RgnBuildRectangles(bitmap, region, transform, list);
  if (code != kResultOk) return code;
  const int32_t joined = JoinPieces(list, out);
  KrnMemFree(list.Block);
  return joined;
}


int32_t QSAPI Q_IntGetBitmapRgnHandle(BitmapRecord* bitmap, const RgnTransform* transform, HRGN* handle,
                                      uint32_t* owned) {
  const int32_t check = CheckBitmapRecord(bitmap, kResultNoBitmap);
  if (check != kResultOk) return check;
  if (handle == nullptr || owned == nullptr) return kResultBadArgument;
  RgnRecord* region = bitmap->Region;
  if (region == nullptr) {
    RECT frame{0, 0, bitmap->Width, bitmap->Height};
    const int32_t code = RgnMapRectOut(*bitmap, transform, frame);
    if (code != kResultOk) return code;
    HRGN made = CreateRectRgn(frame.left, frame.top, frame.right, frame.bottom);
    if (made == nullptr) return kResultNoMemory;
    *handle = made;
    *owned = 1;
    return kResultOk;
  }
  const RgnTransform wanted = RgnWantedTransform(*bitmap, transform);
  if (region->CachedHandle != nullptr && region->CachedPerspective == uint32_t(bitmap->Orientation) &&
      RgnSameScaleAndPerspective(region->CachedTransform, wanted)) {
    const int32_t dx = wanted.XOffset - region->CachedTransform.XOffset;
    const int32_t dy = wanted.YOffset - region->CachedTransform.YOffset;
    if (dx != 0 || dy != 0) {
      OffsetRgn(static_cast<HRGN>(region->CachedHandle), dx, dy);
      region->CachedTransform.XOffset = wanted.XOffset;
      region->CachedTransform.YOffset = wanted.YOffset;
    }
    *handle = static_cast<HRGN>(region->CachedHandle);
    *owned = 0;
    return kResultOk;
  }
  HRGN made = nullptr;
  const int32_t code = RgnToGdiRegion(*bitmap, *region, &wanted, &made);
  if (code != kResultOk) return code;
  if (region->CachedHandle != nullptr) DeleteObject(static_cast<HGDIOBJ>(region->CachedHandle));
  region->CachedHandle = made;
  region->CachedPerspective = uint32_t(bitmap->Orientation);
  region->CachedTransform = wanted;
  *handle = made;
  *owned = 0;
  return kResultOk;
}

int32_t QSAPI Q_GetBitmapRgnHandle(BitmapRecord* bitmap, const RgnTransform* transform, HRGN* handle) {
  if (handle == nullptr) return kResultBadArgument;
  const int32_t check = CheckBitmapRecord(bitmap, kResultNullBitmap);
  if (check != kResultOk) return check;
  HRGN got = nullptr;
  uint32_t owned = 0;
  if (Q_IntGetBitmapRgnHandle(bitmap, transform, &got, &owned) != kResultOk) return kResultFalse;
  if (!owned) {
    got = CopyRegion(got);
    if (got == nullptr) return kResultNoMemory;
  }
  *handle = got;
  return kResultOk;
}

int32_t QSAPI Q_GetResizedRgnHandle(BitmapRecord* bitmap, const RECT* srcRect, const RECT* dstRect, HRGN* handle,
                                    uint32_t* owned) {
  if (bitmap == nullptr || dstRect == nullptr || handle == nullptr || owned == nullptr) return kResultBadArgument;
  if (bitmap->StructSize != kBitmapRecordSize) return kResultBadStructSize;
  // The region fitted to the destination as the whole picture, upright, would be painted there.
  auto fitted = [&](BitmapRecord* source) {
    const bool turned = source->Orientation >= 5;
    const RgnTransform t{1,
                         dstRect->right - dstRect->left,
                         turned ? source->Height : source->Width,
                         dstRect->bottom - dstRect->top,
                         turned ? source->Width : source->Height,
                         dstRect->left,
                         dstRect->top};
    return Q_IntGetBitmapRgnHandle(source, &t, handle, owned);
  };
  if (srcRect == nullptr) return fitted(bitmap);
  const int32_t width = srcRect->right - srcRect->left;
  const int32_t height = srcRect->bottom >= srcRect->top ? srcRect->bottom - srcRect->top : srcRect->top - srcRect->bottom;
  BitmapRecord part{};
  int32_t code = KrnInitResizedBitmap(&part, bitmap, kBitmapRecordSize, width, height, bitmap->BitsPerPixel, 0);
  if (code != kResultOk) return code;
  part.Orientation = bitmap->Orientation;
  part.Region = nullptr;
  code = RgnCopyToBitmap(&part, bitmap, -srcRect->left, -srcRect->top);
  if (code == kResultOk) code = fitted(&part);
  if (code == kResultOk && !*owned) {  // the kept handle goes with the work record
    HRGN copy = CopyRegion(*handle);
    code = copy != nullptr ? kResultOk : kResultNoMemory;
    *handle = copy;
    *owned = 1;
  }
  KrnFreeRgnMemory(part.Region);
  part.Region = nullptr;
  KrnReleaseTempBitmap(&part);
  return code;
}

int32_t QSAPI Q_GetBitmapRgnData(BitmapRecord* bitmap, const RgnTransform* transform, int32_t size, void* buffer) {
  if (size < 0) return kResultBadArgument;
  const int32_t check = CheckBitmapRecord(bitmap, kResultNullBitmap);
  if (check != kResultOk) return check;
  if (bitmap->Region == nullptr) return kResultFalse;
  HRGN region = nullptr;
  uint32_t owned = 0;
  if (Q_IntGetBitmapRgnHandle(bitmap, transform, &region, &owned) != kResultOk) return kResultFalse;
  // The bytes the data need, then the data when the buffer holds them.
  const DWORD needed = GetRegionData(region, 0, nullptr);
  int32_t result = needed == 0 ? kResultNoMemory : int32_t(needed);
  if (needed != 0 && size > 0) {
    if (buffer == nullptr || uint32_t(size) < needed ||
        GetRegionData(region, needed, static_cast<RGNDATA*>(buffer)) == 0)
      result = kResultNoMemory;
  }
  if (owned) DeleteObject(region);
  return result;
}

int32_t QSAPI Q_SetBitmapRgnData(BitmapRecord* bitmap, const RgnTransform* transform, int32_t size, const void* data,
                                 uint32_t mode) {
  if (size < 0) return kResultBadArgument;
  const int32_t check = CheckBitmapRecord(bitmap, kResultNullBitmap);
  if (check != kResultOk) return check;
  if (size == 0) return RgnCombine(bitmap, nullptr, nullptr, kRgnCombineReplace);
  // The caller's block must be banded; the system's own data read back are checked again.
  if (RgnCheckBanding(data, uint32_t(size)) != kResultOk) return kResultBadArgument;
  HRGN made = ExtCreateRegion(nullptr, DWORD(size), static_cast<const RGNDATA*>(data));
  return RgnCombineTemporaryGdiRegion(bitmap, transform, made, mode);
}
