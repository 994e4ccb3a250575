// Curve regions: the curve's Bezier points drawn as a path into a memory device context and the
// path turned into a GDI region.
#include <cmath>
#include <memory>
#include <type_traits>

#include "frame/bitmap_checks.h"
#include "qskrn.h"
#include "region/curve_bezier.h"
#include "region/rgn_gdi_input.h"

namespace {
struct MemFree {
  void operator()(POINT* block) const { KrnMemFree(block); }
};
struct DcDelete {
  void operator()(HDC dc) const { DeleteDC(dc); }
};

int32_t CheckCurve(const CurveRecord* curve) {
  if (curve == nullptr || curve->Size != kCurveRecordSize) return kResultBadArgument;
  if (curve->Type != kCurveBezierPoints && curve->Type != kCurveCardinal) return kResultBadArgument;
  if (curve->Type == kCurveBezierPoints && (curve->Count < 4 || (curve->Count - 1) % 3 != 0))
    return kResultBadArgument;
  // The negated comparison also refuses a tension that is not a number.
  if (curve->Type == kCurveCardinal && !(curve->Tension >= 0.0 && curve->Tension <= 1.0)) return kResultBadArgument;
  if (curve->Points == nullptr) return kResultBadArgument;
  // A cardinal curve needs a point to start from; no count may overflow the buffer sized from it.
  if (curve->Count < 1 || curve->Count > kCurveMaxPoints) return kResultBadArgument;
  if (curve->FillMode > 1) return kResultBadArgument;
  return kResultOk;
}

// The region enclosed by the curve's Bezier path, or null when the path gives none.
HRGN CurvePathRegion(HDC dc, const POINT* points, int32_t count) {
  if (count < 4) return nullptr;  // a lone start point draws nothing
  if (!BeginPath(dc)) return nullptr;
  const BOOL drawn = PolyBezier(dc, points, static_cast<DWORD>(count));
  if (!EndPath(dc) || !drawn) return nullptr;
  return PathToRegion(dc);
}
}  // namespace

int32_t QSAPI Q_SetBitmapRgnCurve(BitmapRecord* bitmap, const RgnTransform* transform, const CurveRecord* curve,
                                  uint32_t mode) {
  int32_t check = CheckPaintableBitmap(bitmap);
  if (check != kResultOk) return check;
  check = CheckCurve(curve);
  if (check != kResultOk) return check;

  std::unique_ptr<std::remove_pointer_t<HDC>, DcDelete> dc(CreateCompatibleDC(nullptr));
  if (!dc) return kResultNoMemory;
  SetPolyFillMode(dc.get(), ShapeFillMode(curve->FillMode));
  const POINT* points = curve->Points;
  int32_t count = curve->Count;
  std::unique_ptr<POINT, MemFree> converted;
  if (curve->Type == kCurveCardinal) {
    converted.reset(static_cast<POINT*>(KrnMemAlloc(static_cast<uint32_t>(curve->Count + 1) * 24u)));
    if (!converted) return kResultNoMemory;
    count = CardinalToBezier(curve->Points, curve->Count, curve->Tension, curve->Closure, converted.get());
    points = converted.get();
  }
  HRGN region = CurvePathRegion(dc.get(), points, count);
  converted.reset();
  dc.reset();
  return RgnCombineTemporaryGdiRegion(bitmap, transform, region, mode);
}
