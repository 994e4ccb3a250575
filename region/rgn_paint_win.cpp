// A bitmap's region on a device context: painting the bitmap through it, an animated outline,
// and a tint that XORs a colour over the region's area through a cached monochrome mask.
#include <windows.h>

#include "frame/bitmap_checks.h"
#include "qsdisp.h"
#include "region/rgn_gdi_output.h"
#include "region/rgn_ops.h"
#include "region/rgn_record.h"

namespace {
// One row per phase of an 8 x 8 monochrome pattern: 4 pixels on, 4 off, shifted a pixel per
// row, so the rows make diagonal stripes. Rows are 16 bits wide as monochrome bitmaps need.
constexpr WORD kFrameStripes[8] = {0x000F, 0x0087, 0x00C3, 0x00E1, 0x00F0, 0x0078, 0x003C, 0x001E};
constexpr DWORD kRopXorMaskedPattern = 0x6A01E9;  // destination XOR (source AND pattern)

// The region outline: R XOR the overlap of two copies of R moved diagonally one pixel each way
// (the even phases use one diagonal, the odd phases the other).
void PaintOutline(HDC hdc, HRGN region, HBRUSH brush, bool odd) {
  auto copy = [&] { return static_cast<HRGN>(RgnDuplicateHandle(region)); };
  HRGN a = copy(), b = copy(), c = copy();
  if (a != nullptr && b != nullptr && c != nullptr) {
    if (odd) {
      OffsetRgn(c, 2, 2);
    } else {
      OffsetRgn(b, 2, 0);
      OffsetRgn(c, 0, 2);
    }
    OffsetRgn(a, 1, 1);
    CombineRgn(b, b, c, RGN_AND);
    CombineRgn(a, a, b, RGN_XOR);
    OffsetRgn(a, -1, -1);
    HGDIOBJ previous = SelectObject(hdc, brush);
    PaintRgn(hdc, a);
    SelectObject(hdc, previous);
  }
  for (HRGN r : {a, b, c})
    if (r != nullptr) DeleteObject(r);
}

// The monochrome mask of the region in the caller's coordinates, white inside, covering the
// mapped bounds; null when anything cannot be made.
HBITMAP BuildMask(const BitmapRecord& bitmap, const RgnTransform& wanted) {
  RgnRecord* copy = nullptr;
  if (Q_CopyQorbRgn(&copy, bitmap.Region) != kResultOk) return nullptr;
  RgnOwner owner(copy);
  if (RgnMapOutbound(&bitmap, &wanted, copy) != kResultOk) return nullptr;
  RECT m = bitmap.Region->Bounds;
  if (RgnMapRectOut(bitmap, &wanted, m) != kResultOk || m.right <= m.left || m.bottom <= m.top) return nullptr;
  HRGN shape = nullptr;
  if (RgnToGdiRegion(bitmap, *copy, nullptr, &shape) != kResultOk) return nullptr;
  OffsetRgn(shape, -m.left, -m.top);
  HBITMAP mask = CreateBitmap(m.right - m.left, m.bottom - m.top, 1, 1, nullptr);
  HDC memory = CreateCompatibleDC(nullptr);  // a memory context like the screen's
  if (mask != nullptr && memory != nullptr) {
    HGDIOBJ previous = SelectObject(memory, mask);
    PatBlt(memory, 0, 0, m.right - m.left, m.bottom - m.top, BLACKNESS);
    SelectClipRgn(memory, shape);
    PatBlt(memory, 0, 0, m.right - m.left, m.bottom - m.top, WHITENESS);
    SelectClipRgn(memory, nullptr);
    SelectObject(memory, previous);
  } else if (mask != nullptr) {
    DeleteObject(mask);
    mask = nullptr;
  }
  if (memory != nullptr) DeleteDC(memory);
  DeleteObject(shape);
  return mask;
}
// The checks of the region paints, then the region in destination units as the bitmap (or its
// source rectangle) is painted into the destination.
int32_t RegionAsPainted(BitmapRecord* bitmap, const RECT* srcRect, const RECT* dstRect, HRGN* region,
                        uint32_t* owned) {
  const int32_t check = CheckBitmapRecord(bitmap, kResultNoBitmap);
  if (check != kResultOk) return check;
  if (dstRect == nullptr) return kResultBadArgument;
  return Q_GetResizedRgnHandle(bitmap, srcRect, dstRect, region, owned);
}
}  // namespace

int32_t QSAPI Q_PaintRgnDC(HDC hdc, BitmapRecord* bitmap, const RECT* srcRect, const RECT* srcClip,
                           const RECT* dstRect, const RECT* dstClip, uint32_t rop) {
  HRGN region = nullptr;
  uint32_t owned = 0;
  const int32_t got = RegionAsPainted(bitmap, srcRect, dstRect, &region, &owned);
  if (got != kResultOk) return got;
  const int saved = SaveDC(hdc);
  // Clip regions are in device units: a moved viewport moves the region with it.
  POINT origin{};
  GetViewportOrgEx(hdc, &origin);
  if ((origin.x != 0 || origin.y != 0) && !owned) {
    region = static_cast<HRGN>(RgnDuplicateHandle(region));
    owned = 1;
  }
  if (region != nullptr && (origin.x != 0 || origin.y != 0)) OffsetRgn(region, origin.x, origin.y);
  if (region != nullptr) ExtSelectClipRgn(hdc, region, RGN_AND);
  if (owned && region != nullptr) DeleteObject(region);
  const int32_t code = region != nullptr ? Q_PaintDC(hdc, bitmap, srcRect, srcClip, dstRect, dstClip, rop)
                                         : kResultNoMemory;
  RestoreDC(hdc, saved);
  return code;
}

int32_t QSAPI Q_PaintRgnDCBuffer(HDC hdc, BitmapRecord* bitmap, const RECT* srcRect, const RECT* srcClip,
                                 const RECT* dstRect, const RECT* dstClip, uint32_t rop, uint8_t* buffer,
                                 int32_t firstRow, int32_t rowCount) {
  HRGN region = nullptr;
  uint32_t owned = 0;
  const int32_t got = RegionAsPainted(bitmap, srcRect, dstRect, &region, &owned);
  if (got != kResultOk) return got;
  const int saved = SaveDC(hdc);
  SelectClipRgn(hdc, region);  // replaces the context's clipping; the context keeps a copy
  if (owned) DeleteObject(region);
  const int32_t code =
      Q_PaintDCBuffer(hdc, bitmap, srcRect, srcClip, dstRect, dstClip, rop, buffer, firstRow, rowCount);
  RestoreDC(hdc, saved);
  return code;
}

int32_t QSAPI Q_FrameBitmapRgn(HDC hdc, BitmapRecord* bitmap, const RgnTransform* transform, uint32_t frameType) {
  const int32_t check = CheckBitmapRecord(bitmap, kResultNullBitmap);
  if (check != kResultOk) return check;
  HRGN region = nullptr;
  uint32_t owned = 0;
  if (Q_IntGetBitmapRgnHandle(bitmap, transform, &region, &owned) != kResultOk) region = nullptr;
  WORD rows[8];
  for (uint32_t r = 0; r < 8; ++r) rows[r] = kFrameStripes[(7 - r + frameType) & 7];
  HBITMAP pattern = CreateBitmap(8, 8, 1, 1, rows);
  HBRUSH brush = pattern != nullptr ? CreatePatternBrush(pattern) : nullptr;
  if (pattern != nullptr) DeleteObject(pattern);
  if (brush != nullptr && region != nullptr) PaintOutline(hdc, region, brush, (frameType & 1) != 0);
  if (brush != nullptr) DeleteObject(brush);
  if (owned && region != nullptr) DeleteObject(region);
  return kResultOk;
}

int32_t QSAPI Q_ColorBitmapRgn(HDC hdc, BitmapRecord* bitmap, const RgnTransform* transform, COLORREF colour) {
  const int32_t check = CheckBitmapRecord(bitmap, kResultNoBitmap);
  if (check != kResultOk) return check;
  RgnRecord* region = bitmap->Region;
  if (region == nullptr || RgnIsEmpty(*region)) return kResultOk;
  const RgnTransform wanted = RgnWantedTransform(*bitmap, transform);
  if (region->MaskBitmap != nullptr && (region->MaskPerspective != uint32_t(bitmap->Orientation) ||
                                        !RgnSameScaleAndPerspective(region->MaskTransform, wanted))) {
    DeleteObject(static_cast<HGDIOBJ>(region->MaskBitmap));
    region->MaskBitmap = nullptr;
  }
  if (region->MaskBitmap == nullptr) {
    region->MaskBitmap = BuildMask(*bitmap, wanted);
    if (region->MaskBitmap == nullptr) return kResultOk;
    region->MaskPerspective = uint32_t(bitmap->Orientation);
  }
  region->MaskTransform = wanted;  // a new offset reuses the mask
  RECT t = region->Bounds;
  if (RgnMapRectOut(*bitmap, &wanted, t) != kResultOk) return kResultOk;
  HDC memory = CreateCompatibleDC(hdc);
  HBRUSH brush = CreateSolidBrush(colour);
  if (memory != nullptr && brush != nullptr) {
    HGDIOBJ previousMask = SelectObject(memory, region->MaskBitmap);
    const COLORREF previousBack = SetBkColor(hdc, RGB(255, 255, 255));
    HGDIOBJ previousBrush = SelectObject(hdc, brush);
    BitBlt(hdc, t.left, t.top, t.right - t.left, t.bottom - t.top, memory, 0, 0, kRopXorMaskedPattern);
    SelectObject(hdc, previousBrush);
    SetBkColor(hdc, previousBack);
    SelectObject(memory, previousMask);
  }
  if (brush != nullptr) DeleteObject(brush);
  if (memory != nullptr) DeleteDC(memory);
  return kResultOk;
}
