// Bitmaps to and from device-dependent bitmaps. Outbound, the bitmap is painted by the normal
// paint engine into a memory context, so palette, tone and orientation apply as on screen;
// inbound, GetDIBits reads the GDI bitmap into a packed DIB that the kernel turns into a record.
#include <windows.h>

#include <cstring>

#include "convert/dib_header.h"
#include "frame/bitmap_checks.h"
#include "paint/display_mode_bits.h"
#include "paint/paint_request.h"
#include "qsdisp.h"
#include "qskrn.h"

namespace {
constexpr uint32_t kSourceCopy = 0xCC0020;
constexpr UINT kMoveableShared = 0x2002;

// The screen's context when the caller gave none, released with the object.
struct WorkingDC {
  HDC Handle;
  bool FromScreen;
  explicit WorkingDC(HDC hdc) : Handle(hdc != nullptr ? hdc : GetDC(nullptr)), FromScreen(hdc == nullptr) {}
  ~WorkingDC() {
    if (FromScreen && Handle != nullptr) ReleaseDC(nullptr, Handle);
  }
  WorkingDC(const WorkingDC&) = delete;
  WorkingDC& operator=(const WorkingDC&) = delete;
};

bool IsMonochromeGray(BitmapRecord* bitmap) {
  if (bitmap->BitsPerPixel != 1) return false;
  const int32_t gray = KrnIsGrayscale(bitmap);
  return gray == 1 || gray == 2;
}

// Paints the whole bitmap upright into the bitmap selected into `memory`, a memory context of
// `dc`: dithered to the fixed palette, with the palette the bitmap needs on `dc`.
void PaintInto(HDC dc, HDC memory, BitmapRecord* bitmap, int32_t width, int32_t height) {
  const uint32_t previousMode = Q_SetDisplayMode(kModeIndexColors | kModeFixedPalette, kModeFixedPalette);
  HPALETTE palette = Q_CreatePaintPalette(dc, bitmap);
  HPALETTE oldPalette = nullptr;
  if (palette != nullptr) {
    oldPalette = SelectPalette(memory, palette, FALSE);
    RealizePalette(memory);
  }
  const RECT dest{0, 0, width, height};
  PaintBitmapToDC(memory, bitmap, nullptr, nullptr, &dest, nullptr, kSourceCopy);
  Q_SetDisplayMode(0xFFFFFFFFu, previousMode);
  if (oldPalette != nullptr) SelectPalette(memory, oldPalette, FALSE);
  if (palette != nullptr) DeleteObject(palette);
}

// Reads a GDI bitmap into a new packed DIB in global memory; null when GDI gives no rows.
// *code is -13 for a handle that is not a bitmap and -1 when memory runs out.
HGLOBAL ReadDdbAsDib(HDC dc, HBITMAP hBitmap, HPALETTE hPalette, int32_t* code) {
  BITMAP info{};
  if (GetObjectType(hBitmap) != OBJ_BITMAP || GetObject(hBitmap, sizeof info, &info) == 0) {
    *code = kResultBadArgument;
    return nullptr;
  }
  const DdbHeader made = MakeDdbHeader(info.bmWidth, info.bmHeight, info.bmPlanes * info.bmBitsPixel);
  const uint32_t tableBytes = DibColorTableBytes(made.Header);
  const uint32_t imageBytes = DibImageSize(info.bmWidth, info.bmHeight, DibBitCount(made.Header));
  const size_t blockBytes = size_t(kDibInfoHeaderBytes) + tableBytes + imageBytes;
  HGLOBAL block = GlobalAlloc(kMoveableShared, blockBytes);
  if (block == nullptr) {
    *code = kResultNoMemory;
    return nullptr;
  }
  auto* header = static_cast<uint8_t*>(GlobalLock(block));
  std::memcpy(header, &made, sizeof made < blockBytes ? sizeof made : blockBytes);
  HPALETTE oldPalette = nullptr;
  if (hPalette != nullptr) {
    oldPalette = SelectPalette(dc, hPalette, FALSE);
    RealizePalette(dc);
  }
  const int lines = GetDIBits(dc, hBitmap, 0, UINT(info.bmHeight), DibBitsPointer(header),
                              reinterpret_cast<BITMAPINFO*>(header), DIB_RGB_COLORS);
  if (hPalette != nullptr) SelectPalette(dc, oldPalette, FALSE);
  GlobalUnlock(block);
  if (lines == 0) {
    GlobalFree(block);
    return nullptr;
  }
  return block;
}
}  // namespace

HBITMAP QSAPI Q_ConvertToDDB(HDC hdc, BitmapRecord* bitmap) {
  if (CheckPaintableBitmap(bitmap) != kResultOk) return nullptr;
  WorkingDC dc(hdc);
  if (dc.Handle == nullptr) return nullptr;
  HDC memory = CreateCompatibleDC(dc.Handle);
  if (memory == nullptr) return nullptr;
  const bool transposed = bitmap->Orientation >= 5 && bitmap->Orientation <= 8;
  const int32_t width = transposed ? bitmap->Height : bitmap->Width;
  const int32_t height = transposed ? bitmap->Width : bitmap->Height;
  HBITMAP target = IsMonochromeGray(bitmap) ? CreateBitmap(width, height, 1, 1, nullptr)
                                            : CreateCompatibleBitmap(dc.Handle, width, height);
  if (target != nullptr) {
    HGDIOBJ oldBitmap = SelectObject(memory, target);
    PaintInto(dc.Handle, memory, bitmap, width, height);
    SelectObject(memory, oldBitmap);
  }
  DeleteDC(memory);
  return target;
}

HBITMAP QSAPI Q_ChangeToDDB(HDC hdc, BitmapRecord* bitmap) {
  HBITMAP target = Q_ConvertToDDB(hdc, bitmap);
  if (target != nullptr) KrnFreeBitmap(bitmap);
  return target;
}

int32_t QSAPI Q_ConvertFromDDB(HDC hdc, BitmapRecord* bitmap, uint32_t structSize, HBITMAP hBitmap,
                               HPALETTE hPalette) {
  if (hBitmap == nullptr) return kResultBadArgument;
  if (structSize != kBitmapRecordSize) return kResultBadStructSize;
  if (bitmap != nullptr) bitmap->StructSize = kBitmapRecordSize;
  WorkingDC dc(hdc);
  int32_t code = kResultOk;
  HGLOBAL block = ReadDdbAsDib(dc.Handle, hBitmap, hPalette, &code);
  if (code != kResultOk) return code;
  code = KrnBitmapFromDIB(bitmap, kBitmapRecordSize, block);
  if (code != kResultOk && block != nullptr) GlobalFree(block);  // the kernel keeps it only on success
  return code;
}

int32_t QSAPI Q_ChangeFromDDB(HDC hdc, BitmapRecord* bitmap, uint32_t structSize, HBITMAP hBitmap,
                              HPALETTE hPalette) {
  if (structSize != kBitmapRecordSize) return kResultBadStructSize;
  if (bitmap != nullptr) bitmap->StructSize = kBitmapRecordSize;
  const int32_t code = Q_ConvertFromDDB(hdc, bitmap, structSize, hBitmap, hPalette);
  if (code == kResultOk) {
    if (hBitmap != nullptr) DeleteObject(hBitmap);
    if (hPalette != nullptr) DeleteObject(hPalette);
  }
  return code;
}
