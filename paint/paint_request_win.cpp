// Q_PaintDC and the device-context side of painting: measuring the device, and handing bands
// to it with StretchDIBits.
#include <windows.h>

#include "frame/bitmap_checks.h"
#include "paint/paint_path.h"
#include "paint/paint_paths.h"
#include "paint/paint_request.h"
#include "qsdisp.h"

namespace {
HDC DcOf(const PaintDevice& device) { return static_cast<HDC>(device.Handle); }

int32_t SendBandToDC(const PaintDevice& device, const BITMAPINFOHEADER* info, const void* bits, int32_t x, int32_t y,
                     int32_t width, int32_t height, int32_t sourceX, uint32_t usage) {
  const int lines = StretchDIBits(DcOf(device), x, y, width, height, sourceX, 0, width, height, bits,
                                  reinterpret_cast<const BITMAPINFO*>(info), usage, device.Rop);
  return lines == int(GDI_ERROR) ? kResultNoMemory : kResultOk;
}

// The whole-bitmap transfer: the device's halftone stretch of the source rectangle onto the
// destination, limited to the visible rectangle. The context's state is restored afterwards.
int32_t StretchWholeToDC(const PaintDevice& device, const BITMAPINFOHEADER* info, const void* bits, const RECT& dest,
                         const RECT& source, const RECT& clip, uint32_t usage) {
  HDC hdc = DcOf(device);
  const int saved = SaveDC(hdc);
  SetStretchBltMode(hdc, HALFTONE);
  SetBrushOrgEx(hdc, 0, 0, nullptr);
  IntersectClipRect(hdc, clip.left, clip.top, clip.right, clip.bottom);
  // StretchDIBits counts source rows from the picture's bottom edge, for top-down bitmaps too.
  const int32_t rows = info->biHeight < 0 ? -info->biHeight : info->biHeight;
  const int32_t sourceY = rows - source.bottom;
  const int lines = StretchDIBits(hdc, dest.left, dest.top, dest.right - dest.left, dest.bottom - dest.top,
                                  source.left, sourceY, source.right - source.left, source.bottom - source.top, bits,
                                  reinterpret_cast<const BITMAPINFO*>(info), usage, device.Rop);
  RestoreDC(hdc, saved);
  return lines == 0 || lines == int(GDI_ERROR) ? kResultNoMemory : kResultOk;
}

PaintRowBand RowBandOf(const uint8_t* band, int32_t firstRow, int32_t rowCount) {
  return PaintRowBand{band, firstRow, rowCount};
}
}  // namespace

PaintDevice PaintDeviceForDC(HDC hdc, uint32_t rop) {
  PaintDevice device{hdc, rop, false, SendBandToDC, StretchWholeToDC};
  if (hdc != nullptr) {
    device.RasterPrinter = GetDeviceCaps(hdc, TECHNOLOGY) == DT_RASPRINTER;
    if (GetMapMode(hdc) != MM_TEXT) SetStretchBltMode(hdc, COLORONCOLOR);
  }
  return device;
}

int32_t PaintBitmapToDC(HDC hdc, BitmapRecord* bitmap, const RECT* srcRect, const RECT* srcClip, const RECT* dstRect,
                        const RECT* dstClip, uint32_t rop) {
  int32_t depth = 24, kind = kPaintNative;
  SelectPaintPath(hdc, bitmap, &depth, &kind);
  const PaintDevice device = PaintDeviceForDC(hdc, rop);
  return PaintBitmapTo(device, bitmap, srcRect, srcClip, dstRect, dstClip, depth, kind);
}

int32_t QSAPI Q_PaintDC(HDC hdc, BitmapRecord* bitmap, const RECT* srcRect, const RECT* srcClip, const RECT* dstRect,
                        const RECT* dstClip, uint32_t rop) {
  const int32_t code = CheckPaintableBitmap(bitmap);
  if (code != kResultOk) return code;
  if (dstRect == nullptr || hdc == nullptr) return kResultBadArgument;
  return PaintBitmapToDC(hdc, bitmap, srcRect, srcClip, dstRect, dstClip, rop);
}

int32_t PaintScaled(HDC hdc, BitmapRecord* bitmap, const uint8_t* band, int32_t bandFirstRow, int32_t bandRowCount,
                    const RECT* source, const RECT* sourceClip, const RECT* dest, const RECT* destClip, int32_t depth,
                    int32_t kind, uint32_t rop) {
  const PaintRowBand rows = RowBandOf(band, bandFirstRow, bandRowCount);
  return PaintScaledTo(PaintDeviceForDC(hdc, rop), bitmap, band ? &rows : nullptr, *source, *sourceClip, *dest,
                       destClip, depth, kind);
}

int32_t PaintUnscaled(HDC hdc, BitmapRecord* bitmap, const uint8_t* band, int32_t bandFirstRow, int32_t bandRowCount,
                      const RECT* source, const RECT* sourceClip, const RECT* dest, const RECT* destClip,
                      int32_t depth, int32_t kind, uint32_t rop) {
  const PaintRowBand rows = RowBandOf(band, bandFirstRow, bandRowCount);
  return PaintUnscaledTo(PaintDeviceForDC(hdc, rop), bitmap, band ? &rows : nullptr, *source, *sourceClip, *dest,
                         destClip, depth, kind);
}

int32_t PaintMonoGrayUnscaled(HDC hdc, BitmapRecord* bitmap, const RECT* source, const RECT* sourceClip,
                              const RECT* dest, const RECT* destClip, int32_t invert, uint32_t rop) {
  return PaintMonoGrayUnscaledTo(PaintDeviceForDC(hdc, rop), bitmap, *source, *sourceClip, *dest, destClip, invert);
}
