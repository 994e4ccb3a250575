// Q_PaintDCCMYKArray: four grey planes (cyan, magenta, yellow, black) interleaved row by row,
// turned into blue-green-red (by the colour-conversion library for a caller's colour transform,
// else by the plain conversion) and painted as a band of caller-held rows.
#include <windows.h>

#include <cstring>

#include "frame/bitmap_checks.h"
#include "qsdisp.h"
#include "qskrn.h"

namespace {
constexpr int32_t kPlanes = 4;
constexpr uint32_t kCmyk8 = 0x02, kBgr8 = 0x00, kCmyk16 = 0x70, kBgr16 = 0x10;

typedef int32_t(QSAPI* ClrConvertFn)(void* transform, const void* source, void* dest, int32_t count, int32_t rows,
                                     int32_t sourceRowBytes, int32_t destRowBytes);

// The colour-conversion library, loaded while paints that use it are in progress. The lock is
// a word taken by whoever raises it from 0 to 1.
struct ColorLibrary {
  HMODULE Module;
  ClrConvertFn Convert;
  int32_t Users;
  volatile LONG Lock;
};
ColorLibrary g_colorLibrary{};

void TakeLock() {
  while (InterlockedIncrement(&g_colorLibrary.Lock) != 1) {
    InterlockedDecrement(&g_colorLibrary.Lock);
    SwitchToThread();
  }
}
void ReleaseLock() { InterlockedDecrement(&g_colorLibrary.Lock); }

// One more paint uses the library; its entry in *convert. 1 or -807.
int32_t UseColorLibrary(ClrConvertFn* convert) {
  TakeLock();
  if (g_colorLibrary.Users == 0) {
    HMODULE module = LoadLibraryA("QSCLR14N.DLL");
    FARPROC entry = module != nullptr ? GetProcAddress(module, "Q_ClrConvert") : nullptr;
    if (entry == nullptr) {
      if (module != nullptr) FreeLibrary(module);
      ReleaseLock();
      return kResultNoColorLibrary;
    }
    g_colorLibrary.Module = module;
    g_colorLibrary.Convert = reinterpret_cast<ClrConvertFn>(reinterpret_cast<void*>(entry));
  }
  ++g_colorLibrary.Users;
  *convert = g_colorLibrary.Convert;
  ReleaseLock();
  return kResultOk;
}

void ReturnColorLibrary() {
  TakeLock();
  if (--g_colorLibrary.Users == 0) {
    FreeLibrary(g_colorLibrary.Module);
    g_colorLibrary.Module = nullptr;
    g_colorLibrary.Convert = nullptr;
  }
  ReleaseLock();
}

int32_t CheckPlanes(BitmapRecord* const* planes, uint32_t planeCount) {
  if (planeCount < uint32_t(kPlanes)) return kResultBadArgument;
  if (planes == nullptr || planes[0] == nullptr) return kResultNullBitmap;
  const BitmapRecord& first = *planes[0];
  if ((first.Flags & QS_FLAG_STORAGE) == 0 || (first.BitsPerPixel != 8 && first.BitsPerPixel != 16))
    return kResultNoBitmap;
  for (int32_t p = 1; p < kPlanes; ++p) {
    const BitmapRecord* plane = planes[p];
    if (plane == nullptr) return kResultNullBitmap;
    if ((plane->Flags & QS_FLAG_STORAGE) == 0) return kResultNoBitmap;
    if (plane->Width != first.Width || plane->Height != first.Height || plane->Orientation != first.Orientation ||
        plane->BitsPerPixel != first.BitsPerPixel)
      return kResultBadArgument;
  }
  return kResultOk;
}

// Rows r.top .. r.bottom - 1 of the planes, columns r.left .. r.right - 1, converted into the
// band at their own columns (the band holds whole rows of the described record).
int32_t FillBand(BitmapRecord* const* planes, const RECT& r, uint8_t* band, uint32_t bandStride, uint8_t* planeRow,
                 uint8_t* interleaved, void* transform, ClrConvertFn convert) {
  const int32_t sample = planes[0]->BitsPerPixel / 8, count = r.right - r.left;
  const uint32_t bytes = uint32_t(count * sample);
  for (int32_t y = r.top; y < r.bottom; ++y) {
    for (int32_t p = 0; p < kPlanes; ++p) {
      const int32_t got = KrnGetBitmapRow(planes[p], planeRow, y, r.left, bytes);
      if (got != int32_t(bytes)) return got < 0 ? got : kResultShortRead;
      for (int32_t k = 0; k < count; ++k)
        std::memcpy(interleaved + size_t(kPlanes * k + p) * sample, planeRow + size_t(k) * sample, size_t(sample));
    }
    uint8_t* out = band + size_t(y - r.top) * bandStride + size_t(r.left) * 3 * sample;
    const int32_t code = convert != nullptr
                             ? convert(transform, interleaved, out, count, 1, int32_t(bytes) * kPlanes, int32_t(bandStride))
                             : Q_ConvertColorSpace(interleaved, out, count, sample == 1 ? kCmyk8 : kCmyk16,
                                                   sample == 1 ? kBgr8 : kBgr16);
    if (code != kResultOk) return code;
  }
  return kResultOk;
}
}  // namespace

int32_t QSAPI Q_PaintDCCMYKArray(HDC hdc, BitmapRecord** planes, uint32_t planeCount, const RECT* srcRect,
                                 const RECT* srcClip, const RECT* dstRect, const RECT* dstClip, uint32_t rop,
                                 void* colorHandle) {
  int32_t code = CheckPlanes(planes, planeCount);
  if (code != kResultOk) return code;
  const BitmapRecord& first = *planes[0];
  RECT r{0, 0, first.Width, first.Height};
  if (srcClip != nullptr && !IntersectRect(&r, &r, srcClip)) return kResultOk;
  BitmapRecord described{};
  code = KrnInitBitmap(&described, kBitmapRecordSize, first.Width, first.Height, 3 * first.BitsPerPixel);
  if (code != kResultOk) return code;
  described.Orientation = first.Orientation;
  described.Order = 1;  // blue first
  ClrConvertFn convert = nullptr;
  if (colorHandle != nullptr) code = UseColorLibrary(&convert);
  if (code == kResultOk) {
    const uint32_t planeBytes = uint32_t(first.BytesPerLine);
    const uint32_t bandStride = uint32_t(described.BytesPerLine);
    void* planeRow = KrnMemAlloc(planeBytes * kPlanes);
    void* interleaved = KrnMemAlloc(planeBytes * kPlanes);
    void* band = KrnMemAlloc(bandStride * uint32_t(r.bottom - r.top));
    if (planeRow == nullptr || interleaved == nullptr || band == nullptr) {
      code = kResultNoMemory;
    } else {
      std::memset(band, 0, size_t(bandStride) * size_t(r.bottom - r.top));
      code = FillBand(planes, r, static_cast<uint8_t*>(band), bandStride, static_cast<uint8_t*>(planeRow),
                      static_cast<uint8_t*>(interleaved), colorHandle, convert);
      if (code == kResultOk)
        code = Q_PaintDCBuffer(hdc, &described, srcRect, &r, dstRect, dstClip, rop, static_cast<uint8_t*>(band), r.top,
                               r.bottom - r.top);
    }
    KrnMemFree(band);
    KrnMemFree(interleaved);
    KrnMemFree(planeRow);
    if (colorHandle != nullptr) ReturnColorLibrary();
  }
  KrnFreeBitmap(&described);
  return code;
}
