// The rectangle region and the offsetting of a bitmap's region.
#include "frame/bitmap_checks.h"
#include "frame/result_codes.h"
#include "qsdisp.h"
#include "region/rgn_builder.h"
#include "region/rgn_combine.h"
#include "region/rgn_ops.h"
#include "region/rgn_record.h"

int32_t QSAPI RgnSetRect(BitmapRecord* bitmap, const RgnTransform* transform, const RECT* rect, uint32_t mode) {
  if (rect == nullptr) return kResultBadArgument;
  RgnRecord* region = nullptr;
  if (RgnFromRect(*rect, &region) != kResultOk) return kResultNoMemory;
  return RgnCombine(bitmap, transform, region, mode);
}

int32_t QSAPI Q_SetBitmapRgnRect(BitmapRecord* bitmap, const RgnTransform* transform, const RECT* rect,
                                 uint32_t mode) {
  const int32_t code = CheckRegionBitmap(bitmap, false);
  if (code != kResultOk) return code;
  return RgnSetRect(bitmap, transform, rect, mode);
}

int32_t QSAPI Q_OffsetBitmapRgn(BitmapRecord* bitmap, int32_t rowOffset, int32_t columnOffset) {
  int32_t code = CheckBitmapRecord(bitmap, kResultNoBitmap);
  if (code != kResultOk) return code;
  const RECT frame{0, 0, bitmap->Width, bitmap->Height};
  RgnOwner built;  // the bitmap rectangle, for a bitmap without a region
  RgnRecord* region = bitmap->Region;
  if (region == nullptr) {
    RgnRecord* made = nullptr;
    if (RgnFromRect(frame, &made) != kResultOk) return kResultNoMemory;
    built.reset(made);
    region = made;
  }
  code = RgnOffset(region, columnOffset, rowOffset);
  if (code == kResultOk && RgnClipsToBitmap(*bitmap)) code = RgnClip(region, &frame);
  if (code != kResultOk) return code;
  if (built) bitmap->Region = built.release();
  return kResultOk;
}
