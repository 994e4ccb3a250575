// Q_ScreenCaptureBitmap: a rectangle of what a device context shows, copied into a compatible
// GDI bitmap with one block transfer and turned into a bitmap by the DDB conversion.
#include <windows.h>

#include "frame/bitmap_checks.h"
#include "qsdisp.h"
#include "qskrn.h"

int32_t QSAPI Q_ScreenCaptureBitmap(HDC hdc, BitmapRecord* bitmap, uint32_t structSize, const RECT* rect) {
  if (bitmap == nullptr || rect == nullptr) return kResultBadArgument;
  if (structSize != kBitmapRecordSize) return kResultBadStructSize;
  bitmap->StructSize = kBitmapRecordSize;
  const int32_t width = rect->right - rect->left;
  const int32_t height = rect->bottom >= rect->top ? rect->bottom - rect->top : rect->top - rect->bottom;
  if (width < 1 || height < 1) return kResultBadArgument;  // a bottom-up rectangle still starts at top
  HDC memory = CreateCompatibleDC(hdc);
  if (memory == nullptr) return kResultBadArgument;
  HBITMAP picture = CreateCompatibleBitmap(hdc, width, height);
  if (picture == nullptr) {
    DeleteDC(memory);
    return kResultNoMemory;
  }
  HGDIOBJ previous = SelectObject(memory, picture);
  BitBlt(memory, 0, 0, width, height, hdc, rect->left, rect->top, SRCCOPY);
  SelectObject(memory, previous);
  DeleteDC(memory);
  HPALETTE palette = KrnCreateDefaultPalette();
  const int32_t code = Q_ChangeFromDDB(hdc, bitmap, kBitmapRecordSize, picture, palette);
  if (code != kResultOk) {  // on success the conversion has taken both
    DeleteObject(picture);
    if (palette != nullptr) DeleteObject(palette);
  }
  return code;
}
