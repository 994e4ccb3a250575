// Shape regions made by GDI: rounded rectangles, ellipses, polygons and a caller's own region,
// each read through the region-data conversion and combined into the bitmap.
#include "frame/bitmap_checks.h"
#include "qsdisp.h"
#include "region/rgn_combine.h"
#include "region/rgn_gdi_input.h"

int32_t QSAPI Q_SetBitmapRgnRoundRect(BitmapRecord* bitmap, const RgnTransform* transform, const RECT* rect,
                                      int32_t ellipseWidth, int32_t ellipseHeight, uint32_t mode) {
  const int32_t check = CheckRegionBitmap(bitmap, false);
  if (check != kResultOk) return check;
  if (rect == nullptr) return kResultBadArgument;
  return RgnCombineTemporaryGdiRegion(
      bitmap, transform,
      CreateRoundRectRgn(rect->left, rect->top, rect->right, rect->bottom, ellipseWidth, ellipseHeight), mode);
}

int32_t QSAPI Q_SetBitmapRgnEllipse(BitmapRecord* bitmap, const RgnTransform* transform, const RECT* rect,
                                    uint32_t mode) {
  if (rect == nullptr) return kResultBadArgument;
  const int32_t check = CheckRegionBitmap(bitmap, false);
  if (check != kResultOk) return check;
  return RgnCombineTemporaryGdiRegion(bitmap, transform,
                                      CreateEllipticRgn(rect->left, rect->top, rect->right, rect->bottom), mode);
}

int32_t QSAPI Q_SetBitmapRgnPolygon(BitmapRecord* bitmap, const RgnTransform* transform, const POINT* points,
                                    int32_t count, uint32_t fillMode, uint32_t mode) {
  const int32_t check = CheckRegionBitmap(bitmap, false);
  if (check != kResultOk) return check;
  if (points == nullptr || count < 0 || fillMode > 1) return kResultBadArgument;
  return RgnCombineTemporaryGdiRegion(bitmap, transform, CreatePolygonRgn(points, count, ShapeFillMode(fillMode)),
                                      mode);
}

int32_t QSAPI Q_SetBitmapRgnHandle(BitmapRecord* bitmap, const RgnTransform* transform, HRGN region,
                                   uint32_t mode) {
  const int32_t check = CheckBitmapRecord(bitmap, kResultBadArgument);
  if (check != kResultOk) return check;
  // RgnCombine removes the region when handed none, whatever the mode.
  RgnRecord* rows = nullptr;
  if (region != nullptr) {
    const int32_t result = RgnFromGdiRegion(region, &rows);
    if (result != kResultOk) return result;
  }
  return RgnCombine(bitmap, transform, rows, mode);
}
