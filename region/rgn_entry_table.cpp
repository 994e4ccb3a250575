#include "region/rgn_entry_table.h"

namespace {
template <typename F>
KrnRgnEntry Entry(F* function) {
  return reinterpret_cast<KrnRgnEntry>(function);
}
}  // namespace

// Slot order is fixed by the kernel library; a slot stays null until its operation exists.
const KrnRgnEntry* RegionEntryTable() {
  static const KrnRgnEntry table[KRN_RGN_ENTRY_COUNT] = {
      nullptr,  //  1 RgnMirrorBitmap
      nullptr,  //  2 RgnCopyToBitmap
      nullptr,  //  3 Q_SetBitmapRgnFromMask
      nullptr,  //  4 Q_GetBitmapClipSegmentsMax
      nullptr,  //  5 Q_GetBitmapClipSegments
      nullptr,  //  6 RgnResizeBitmap
      nullptr,  //  7 RgnCombine
      nullptr,  //  8 Q_GetBitmapRgnBounds
      nullptr,  //  9 Q_CopyQorbRgn
      nullptr,  // 10 RgnOffset
      nullptr,  // 11 RgnFlipRows
      nullptr,  // 12 RgnShear
      nullptr,  // 13 RgnRotate
      nullptr,  // 14 Q_IntGetBitmapRgnHandle
      nullptr,  // 15 RgnColorWorker
      nullptr,  // 16 RgnSetRect
      nullptr,  // 17 Q_IsPtInBitmapRgn
      nullptr,  // 18 Q_CreateMaskFromBitmapRgn
      nullptr,  // 19 RgnFlipBitmap
      nullptr,  // 20 Q_GetBitmapRgnHandle
  };
  (void)&Entry<void()>;
  return table;
}
