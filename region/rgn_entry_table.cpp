#include "region/rgn_entry_table.h"

#include "qsdisp.h"
#include "region/rgn_combine.h"
#include "region/rgn_ops.h"

namespace {
template <typename F>
KrnRgnEntry Entry(F* function) {
  return reinterpret_cast<KrnRgnEntry>(function);
}
}  // namespace

// Slot order is fixed by the kernel library; a slot stays null until its operation exists.
const KrnRgnEntry* RegionEntryTable() {
  static const KrnRgnEntry table[KRN_RGN_ENTRY_COUNT] = {
      Entry(RgnMirrorBitmap),  //  1
      Entry(RgnCopyToBitmap),  //  2
      nullptr,  //  3 Q_SetBitmapRgnFromMask
      Entry(Q_GetBitmapClipSegmentsMax),  //  4
      Entry(Q_GetBitmapClipSegments),  //  5
      Entry(RgnResizeBitmap),  //  6
      Entry(RgnCombine),  //  7
      Entry(Q_GetBitmapRgnBounds),  //  8
      Entry(Q_CopyQorbRgn),  //  9
      Entry(RgnOffset),  // 10
      Entry(RgnFlipRows),  // 11
      nullptr,  // 12 RgnShear
      Entry(RgnRotate),  // 13
      nullptr,  // 14 Q_IntGetBitmapRgnHandle
      Entry(RgnColorWorker),  // 15
      Entry(RgnSetRect),  // 16
      Entry(Q_IsPtInBitmapRgn),  // 17
      nullptr,  // 18 Q_CreateMaskFromBitmapRgn
      Entry(RgnFlipBitmap),  // 19
      nullptr,  // 20 Q_GetBitmapRgnHandle
  };
  return table;
}
