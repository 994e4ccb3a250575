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

// GDI region handles exist on Windows only; the host build leaves their slots empty.
#if defined(_WIN32)
#define WindowsOnly(function) Entry(function)
#else
#define WindowsOnly(function) nullptr
#endif

// Slot order is fixed by the kernel library; a slot stays null until its operation exists.
const KrnRgnEntry* RegionEntryTable() {
  static const KrnRgnEntry table[KRN_RGN_ENTRY_COUNT] = {
      Entry(RgnMirrorBitmap),  //  1
      Entry(RgnCopyToBitmap),  //  2
      Entry(Q_SetBitmapRgnFromMask),  //  3
      Entry(Q_GetBitmapClipSegmentsMax),  //  4
      Entry(Q_GetBitmapClipSegments),  //  5
      Entry(RgnResizeBitmap),  //  6
      Entry(RgnCombine),  //  7
      Entry(Q_GetBitmapRgnBounds),  //  8
      Entry(Q_CopyQorbRgn),  //  9
      Entry(RgnOffset),  // 10
      Entry(RgnFlipRows),  // 11
      Entry(RgnShear),  // 12
      Entry(RgnRotate),  // 13
      WindowsOnly(Q_IntGetBitmapRgnHandle),  // 14
      Entry(RgnColorWorker),  // 15
      Entry(RgnSetRect),  // 16
      Entry(Q_IsPtInBitmapRgn),  // 17
      Entry(Q_CreateMaskFromBitmapRgn),  // 18
      Entry(RgnFlipBitmap),  // 19
      WindowsOnly(Q_GetBitmapRgnHandle),  // 20
  };
  return table;
}
