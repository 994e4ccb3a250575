// The paint request after the device is measured: the four working rectangles, pixel access
// around the paint, and the choice of path.
#include <cstdlib>

#include "frame/result_codes.h"
#include "paint/paint_path.h"
#include "paint/paint_paths.h"
#include "qskrn.h"

bool IsScaledPaint(const BitmapRecord& bitmap, const RECT& source, const RECT& dest) {
  const int64_t srcW = int64_t(source.right) - source.left, srcH = std::llabs(int64_t(source.bottom) - source.top);
  const int64_t dstW = int64_t(dest.right) - dest.left, dstH = std::llabs(int64_t(dest.bottom) - dest.top);
  const bool transposed = bitmap.Orientation >= 5 && bitmap.Orientation <= 8;
  if (transposed) return !(dstW == srcH && dstH == srcW);
  return !(dstW == srcW && dstH == srcH);
}

int32_t PaintBitmapTo(const PaintDevice& device, BitmapRecord* bitmap, const RECT* srcRect, const RECT* srcClip,
                      const RECT* dstRect, const RECT* dstClip, int32_t depth, int32_t kind) {
  RECT source, sourceClip, destClip;
  if (srcRect != nullptr)
    source = *srcRect;
  else
    MakeRect(&source, 0, 0, bitmap->Width, bitmap->Height);
  sourceClip = source;
  if (srcClip != nullptr && !IntersectRectangles(&sourceClip, &source, srcClip)) return kResultOk;
  destClip = *dstRect;
  if (dstClip != nullptr && !IntersectRectangles(&destClip, dstRect, dstClip)) return kResultOk;
  RECT bounds;
  MakeRect(&bounds, 0, 0, bitmap->Width, bitmap->Height);  // stored bounds, for every orientation
  if (!IntersectRectangles(&sourceClip, &sourceClip, &bounds)) return kResultOk;

  const uint32_t token = KrnBeginBitmapAccess(bitmap);
  int32_t code;
  const bool mono = kind == kPaintMonoGray || kind == kPaintMonoGrayInverted;
  if (!IsScaledPaint(*bitmap, source, *dstRect)) {
    if (mono)
      code = PaintMonoGrayUnscaledTo(device, bitmap, source, sourceClip, *dstRect, &destClip,
                                     kind == kPaintMonoGrayInverted);
    else
      code = PaintUnscaledTo(device, bitmap, nullptr, source, sourceClip, *dstRect, &destClip, depth, kind);
  } else {
    // 1-bit grey kinds (3 to 6) paint natively here until the 1-bit scaled paths take them.
    const int32_t scaledKind = kind <= kPaintDither ? kind : kPaintNative;
    code = PaintScaledTo(device, bitmap, nullptr, source, sourceClip, *dstRect, &destClip, depth, scaledKind);
  }
  KrnReleaseBitmapAccess(bitmap, token);
  return code;
}
