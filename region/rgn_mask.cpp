// A bitmap's region as a 1-bit mask bitmap (index 1 inside) and back: the light pixels of any
// mask bitmap (nearer white than black, so exactly the white ones of a black-and-white mask).
#include "frame/bitmap_checks.h"
#include "qsdisp.h"
#include "qskrn.h"
#include "region/color_scan.h"
#include "region/rgn_combine.h"
#include "region/rgn_ops.h"

namespace {
constexpr uint32_t kMaskInsideIndex = 0x01000001u;  // palette index 1

struct LightPixel {
  int32_t Maximum;
  // The grey level of the paint engine's grey conversion, against the middle of the scale.
  bool operator()(const Channels& c) const { return 2 * (2 * c.Red + 5 * c.Green + c.Blue) >= 8 * Maximum + 8; }
};
}  // namespace

int32_t QSAPI Q_CreateMaskFromBitmapRgn(const BitmapRecord* bitmap, BitmapRecord* mask, uint32_t recordSize) {
  if (bitmap == nullptr || mask == nullptr) return kResultBadArgument;
  if (bitmap->StructSize != kBitmapRecordSize || recordSize != kBitmapRecordSize) return kResultBadStructSize;
  mask->StructSize = kBitmapRecordSize;
  int32_t code = KrnAllocateBitmap(mask, kBitmapRecordSize, KRN_MEMORY_ONE_BLOCK, bitmap->Width, bitmap->Height, 1, 0,
                                   nullptr, bitmap->Orientation, nullptr, 0);
  if (code != kResultOk) return code;
  code = RgnCopyToBitmap(mask, bitmap, 0, 0);
  if (code == kResultOk) code = KrnFillBitmap(mask, kMaskInsideIndex);  // only inside the region
  if (code == kResultOk) code = RgnCombine(mask, nullptr, nullptr, kRgnCombineReplace);
  if (code != kResultOk) KrnFreeBitmap(mask);
  return code;
}

int32_t QSAPI Q_SetBitmapRgnFromMask(BitmapRecord* bitmap, const RgnTransform* transform, BitmapRecord* mask,
                                     uint32_t mode) {
  if (bitmap == nullptr || mask == nullptr) return kResultBadArgument;
  if (bitmap->StructSize != kBitmapRecordSize || mask->StructSize != kBitmapRecordSize) return kResultBadStructSize;
  if ((mask->Flags & QS_FLAG_STORAGE) == 0) return kResultBadArgument;
  if (mask->Flags & QS_FLAG_NO_SCAN) return kResultNoScan;  // read like any colour region
  PixelRows rows;
  int32_t code = OpenPixelRows(rows, *mask);
  if (code != kResultOk) return code;
  RgnRecord* region = nullptr;
  code = ScanColorRegion(rows, LightPixel{rows.Maximum}, nullptr, &region);
  ClosePixelRows(rows);
  if (code != kResultOk) return code;
  return RgnCombine(bitmap, transform, region, mode);
}
