// Packed DIBs in global memory become bitmaps; the caller keeps the block.
#include <windows.h>

#include <cstring>

#include "convert/dib_header.h"
#include "frame/result_codes.h"
#include "qsdisp.h"
#include "qskrn.h"

namespace {
constexpr uint32_t kXPelsPerMeterOffset = 24;

// A header without a resolution takes the screen's.
void TakeScreenResolution(BitmapRecord* bitmap) {
  if (bitmap == nullptr) return;
  HDC screen = GetDC(nullptr);
  if (screen == nullptr) return;
  bitmap->XResolution = GetDeviceCaps(screen, LOGPIXELSX);
  bitmap->YResolution = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
}
}  // namespace

int32_t QSAPI Q_DIBToQorb(BitmapRecord* bitmap, uint32_t structSize, HGLOBAL hDIB) {
  if (hDIB == nullptr) return kResultNoBitmap;
  const auto* header = static_cast<const uint8_t*>(GlobalLock(hDIB));
  if (header == nullptr) return kResultBadArgument;
  uint32_t headerBytes = 0, xPelsPerMeter = 0;
  std::memcpy(&headerBytes, header, 4);
  if (headerBytes > kXPelsPerMeterOffset) std::memcpy(&xPelsPerMeter, header + kXPelsPerMeterOffset, 4);
  const int32_t code = KrnDIBToBitmap(bitmap, structSize, header, DibBitsPointer(header));
  if (xPelsPerMeter == 0 && structSize == QS_RECORD_SIZE) TakeScreenResolution(bitmap);
  GlobalUnlock(hDIB);
  return code;
}
