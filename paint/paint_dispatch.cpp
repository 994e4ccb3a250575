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

namespace {
struct PaintRectangles {
  RECT Source, SourceClip, DestClip;
};

// The source (whole bitmap by default), its clip cut to `rows` when given and to the stored
// bounds, and the destination clip. False when nothing is visible.
bool PrepareRectangles(const BitmapRecord& bitmap, const RECT* srcRect, const RECT* srcClip, const RECT* dstRect,
                       const RECT* dstClip, const RECT* rows, PaintRectangles& r) {
  if (srcRect != nullptr)
    r.Source = *srcRect;
  else
    MakeRect(&r.Source, 0, 0, bitmap.Width, bitmap.Height);
  r.SourceClip = r.Source;
  if (srcClip != nullptr && !IntersectRectangles(&r.SourceClip, &r.Source, srcClip)) return false;
  r.DestClip = *dstRect;
  if (dstClip != nullptr && !IntersectRectangles(&r.DestClip, dstRect, dstClip)) return false;
  if (rows != nullptr && !IntersectRectangles(&r.SourceClip, &r.SourceClip, rows)) return false;
  RECT bounds;
  MakeRect(&bounds, 0, 0, bitmap.Width, bitmap.Height);  // stored bounds, for every orientation
  return IntersectRectangles(&r.SourceClip, &r.SourceClip, &bounds) != 0;
}
}  // namespace

int32_t PaintBitmapTo(const PaintDevice& device, BitmapRecord* bitmap, const RECT* srcRect, const RECT* srcClip,
                      const RECT* dstRect, const RECT* dstClip, int32_t depth, int32_t kind) {
  PaintRectangles r;
  if (!PrepareRectangles(*bitmap, srcRect, srcClip, dstRect, dstClip, nullptr, r)) return kResultOk;
  const uint32_t token = KrnBeginBitmapAccess(bitmap);
  int32_t code;
  const bool mono = kind == kPaintMonoGray || kind == kPaintMonoGrayInverted;
  if (!IsScaledPaint(*bitmap, r.Source, *dstRect)) {
    if (mono)
      code = PaintMonoGrayUnscaledTo(device, bitmap, r.Source, r.SourceClip, *dstRect, &r.DestClip,
                                     kind == kPaintMonoGrayInverted);
    else
      code = PaintUnscaledTo(device, bitmap, nullptr, r.Source, r.SourceClip, *dstRect, &r.DestClip, depth, kind);
  } else {
    // 1-bit grey kinds (3 to 6) paint natively here until the 1-bit scaled paths take them.
    const int32_t scaledKind = kind <= kPaintDither ? kind : kPaintNative;
    code = PaintScaledTo(device, bitmap, nullptr, r.Source, r.SourceClip, *dstRect, &r.DestClip, depth, scaledKind);
  }
  KrnReleaseBitmapAccess(bitmap, token);
  return code;
}

int32_t PaintBandTo(const PaintDevice& device, BitmapRecord* bitmap, const PaintRowBand& rows, const RECT* srcRect,
                    const RECT* srcClip, const RECT* dstRect, const RECT* dstClip, int32_t depth, int32_t kind) {
  PaintRectangles r;
  RECT bandRows;
  MakeRect(&bandRows, 0, rows.FirstRow, bitmap->Width, rows.FirstRow + rows.RowCount);
  if (!PrepareRectangles(*bitmap, srcRect, srcClip, dstRect, dstClip, &bandRows, r)) return kResultOk;
  // Rows in a caller's buffer paint by the general paths: the 1-bit grey kinds paint natively.
  const int32_t bandKind = kind <= kPaintDither ? kind : kPaintNative;
  const uint32_t token = KrnBeginBitmapAccess(bitmap);
  const int32_t code =
      IsScaledPaint(*bitmap, r.Source, *dstRect)
          ? PaintScaledTo(device, bitmap, &rows, r.Source, r.SourceClip, *dstRect, &r.DestClip, depth, bandKind)
          : PaintUnscaledTo(device, bitmap, &rows, r.Source, r.SourceClip, *dstRect, &r.DestClip, depth, bandKind);
  KrnReleaseBitmapAccess(bitmap, token);
  return code;
}
