// The colour table that goes with a painted row.
#include <algorithm>

#include "paint/fixed_palettes.h"
#include "paint/paint_palette.h"
#include "paint/paint_path.h"
#include "paint/row_kernels.h"
#include "qskrn.h"

void GetRowPalette(const BitmapRecord* bitmap, int32_t pathKind, int32_t dstBits, int32_t* count, RGBQUAD* entries,
                   uint32_t options) {
  if (pathKind == kPaintDither) {
    const RGBQUAD* table = dstBits == 1   ? FixedPalette2.data()
                           : dstBits == 4 ? FixedPalette16.data()
                           : (options & kRowPaletteCube) ? FixedPaletteCube.data()
                                                         : FixedPalette332.data();
    const int32_t n = dstBits == 1 ? 2 : (dstBits == 4 ? 16 : 256);
    std::copy(table, table + n, entries);
    *count = n;
    return;
  }
  if (bitmap->Palette == nullptr) {
    for (int32_t i = 0; i < 256; ++i) entries[i] = RGBQUAD{uint8_t(i), uint8_t(i), uint8_t(i), 0};
    *count = 256;
    return;
  }
  const int32_t n = std::clamp(bitmap->ColorCount, 0, 256);
  if (options & kRowPaletteAsStored)
    KrnGetBitmapPalette(bitmap, 0, n, entries);
  else
    GetTonedBitmapPalette(bitmap, 0, n, entries);
  *count = n;
}
