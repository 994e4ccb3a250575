// A packed DIB in a global memory block becomes a bitmap; the kernel takes the block on success.
#include <windows.h>

#include "frame/result_codes.h"
#include "kernel/dib_layout.h"
#include "qskrn.h"

int32_t QSAPI KrnBitmapFromDIB(BitmapRecord* bitmap, uint32_t structSize, HGLOBAL dib) {
  if (bitmap == nullptr) return kResultNoBitmap;
  if (structSize != QS_RECORD_SIZE) return kResultBadStructSize;
  if (dib == nullptr) return kResultNoBitmap;
  const SIZE_T blockBytes = GlobalSize(dib);
  const auto* header = static_cast<const uint8_t*>(GlobalLock(dib));
  if (header == nullptr) return kResultBadArgument;
  // The header (with the masks that may follow it) is read from a copy, so that a block too
  // short for its header is refused rather than read past; the rows must then fit as well.
  uint8_t headerCopy[124 + 12] = {};
  memcpy(headerCopy, header, blockBytes < sizeof headerCopy ? blockBytes : sizeof headerCopy);
  int32_t code = kResultBadArgument;
  DibLayout layout;
  if (ReadDibLayout(headerCopy, layout) == kResultOk && layout.HeaderBytes <= blockBytes &&
      uint64_t(DibBitsOffset(layout)) + layout.ImageBytes <= blockBytes) {
    code = KrnDIBToBitmap(bitmap, structSize, header, header + DibBitsOffset(layout));
  }
  GlobalUnlock(dib);
  if (code == kResultOk) GlobalFree(dib);
  return code;
}
