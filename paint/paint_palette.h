// Palettes that go with painted bitmaps: the tone-mapped copy of a bitmap's palette and the grey
// palette of grey-painted images.
#pragma once
#include <cstdint>

#include "qsrecords.h"

// Copies up to `count` palette entries from index `first` (as KrnGetBitmapPalette does) and,
// when Flags bit 0x2000 is set, passes blue, green and red through PaintLUT. Returns the count.
int32_t GetTonedBitmapPalette(const BitmapRecord* bitmap, int32_t first, int32_t count, RGBQUAD* buffer);

// The 1 << bits grey levels (bits 0 means 8) through PaintLUT: entry i is level
// i x 255 / (n - 1) mapped by the table. `entries` has room for 1 << bits quads.
void FillGrayPaintRamp(const BitmapRecord* bitmap, int32_t bits, RGBQUAD* entries);

#if defined(_WIN32)
// A GDI palette of the grey ramp above, or 0 when memory or the palette cannot be had.
HPALETTE GrayPaintPalette(const BitmapRecord* bitmap, int32_t bits);
#endif
