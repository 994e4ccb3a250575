// Q_PaintDCBuffer: rows the caller holds in its own buffer, described by a bitmap record that
// needs no pixel storage, painted like Q_PaintDC paints the bitmap's own rows.
#include <windows.h>

#include <cstdlib>
#include <cstring>

#include "frame/bitmap_checks.h"
#include "paint/paint_path.h"
#include "paint/paint_paths.h"
#include "paint/paint_request.h"
#include "qsdisp.h"
#include "qskrn.h"

int32_t QSAPI Q_PaintDCBuffer(HDC hdc, BitmapRecord* bitmap, const RECT* srcRect, const RECT* srcClip,
                              const RECT* dstRect, const RECT* dstClip, uint32_t rop, uint8_t* buffer, int32_t firstRow,
                              int32_t rowCount) {
  if (bitmap == nullptr || buffer == nullptr) return kResultNoBitmap;
  if (bitmap->StructSize != kBitmapRecordSize) return kResultBadStructSize;
  if (dstRect == nullptr || hdc == nullptr) return kResultBadArgument;
  int32_t depth = 24, kind = kPaintNative;
  SelectPaintPath(hdc, bitmap, &depth, &kind);
  const int32_t rows = rowCount < 0 ? -rowCount : rowCount;
  // A negative count asks for the rows to be painted from a copy of the caller's buffer.
  uint8_t* copy = nullptr;
  if (rowCount < 0) {
    const uint64_t bytes = uint64_t(uint32_t(bitmap->BytesPerLine)) * uint32_t(rows);
    if (bytes > UINT32_MAX) return kResultNoMemory;
    copy = static_cast<uint8_t*>(KrnMemAlloc(bytes > 0 ? uint32_t(bytes) : 1));
    if (copy == nullptr) return kResultNoMemory;
    std::memcpy(copy, buffer, size_t(bytes));
  }
  const PaintRowBand band{copy != nullptr ? copy : buffer, firstRow, rows};
  const int32_t code = PaintBandTo(PaintDeviceForDC(hdc, rop), bitmap, band, srcRect, srcClip, dstRect, dstClip,
                                   depth, kind);
  KrnMemFree(copy);
  return code;
}
