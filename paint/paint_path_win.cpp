#include "frame/thread_state.h"
#include "paint/paint_path.h"

void SelectPaintPath(HDC hdc, BitmapRecord* bitmap, int32_t* depth, int32_t* kind) {
  const uint32_t mode = GetThreadDisplayState()->DisplayMode;
  if (bitmap == nullptr || depth == nullptr) return;
  // A null context and a metafile take the pixels at full depth.
  int32_t deviceDepth = 24;
  if (hdc != nullptr && GetDeviceCaps(hdc, TECHNOLOGY) != DT_METAFILE)
    deviceDepth = DeviceDepthClass(GetDeviceCaps(hdc, PLANES) * GetDeviceCaps(hdc, BITSPIXEL));
  *depth = deviceDepth;
  if (kind != nullptr) *kind = SelectPaintKind(bitmap, mode, deviceDepth);
}
