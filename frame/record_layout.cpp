// The records' protocol layouts, checked at compile time. On 32-bit targets every offset is
// the exchanged one; wider targets keep the field order with pointers widened.
#include <cstddef>

#include "qsrecords.h"

#define QS_FIELD_AT(type, field, offset) static_assert(offsetof(type, field) == (offset), #type "." #field)

#if defined(_WIN32) && !defined(_WIN64)
QS_FIELD_AT(BitmapRecord, StructSize, 0);
QS_FIELD_AT(BitmapRecord, Bits, 8);
QS_FIELD_AT(BitmapRecord, Width, 12);
QS_FIELD_AT(BitmapRecord, Height, 16);
QS_FIELD_AT(BitmapRecord, BitsPerPixel, 20);
QS_FIELD_AT(BitmapRecord, BytesPerLine, 24);
QS_FIELD_AT(BitmapRecord, Flags, 36);
QS_FIELD_AT(BitmapRecord, ColorCount, 40);
QS_FIELD_AT(BitmapRecord, Palette, 44);
QS_FIELD_AT(BitmapRecord, Orientation, 48);
QS_FIELD_AT(BitmapRecord, Order, 52);
QS_FIELD_AT(BitmapRecord, KrnField64, 64);
QS_FIELD_AT(BitmapRecord, Region, 68);
QS_FIELD_AT(BitmapRecord, XResolution, 72);
QS_FIELD_AT(BitmapRecord, YResolution, 76);
QS_FIELD_AT(BitmapRecord, Left, 80);
QS_FIELD_AT(BitmapRecord, Top, 84);
QS_FIELD_AT(BitmapRecord, Delay, 88);
QS_FIELD_AT(BitmapRecord, Background, 92);
QS_FIELD_AT(BitmapRecord, Transparency, 96);
QS_FIELD_AT(BitmapRecord, Disposal, 100);
QS_FIELD_AT(BitmapRecord, LowBit, 104);
QS_FIELD_AT(BitmapRecord, HighBit, 108);
QS_FIELD_AT(BitmapRecord, LUT, 112);
QS_FIELD_AT(BitmapRecord, LUTLength, 116);
QS_FIELD_AT(BitmapRecord, MinVal, 124);
QS_FIELD_AT(BitmapRecord, MaxVal, 128);
QS_FIELD_AT(BitmapRecord, WindowLowBit, 132);
QS_FIELD_AT(BitmapRecord, WindowHighBit, 136);
QS_FIELD_AT(BitmapRecord, PaintGamma, 140);
QS_FIELD_AT(BitmapRecord, PaintContrast, 144);
QS_FIELD_AT(BitmapRecord, PaintIntensity, 148);
QS_FIELD_AT(BitmapRecord, PaintLUT, 152);
QS_FIELD_AT(BitmapRecord, Overlays, 156);
static_assert(sizeof(BitmapRecord) == 164);

QS_FIELD_AT(RgnRecord, CachedHandle, 0);
QS_FIELD_AT(RgnRecord, CachedTransform, 4);
QS_FIELD_AT(RgnRecord, CachedPerspective, 32);
QS_FIELD_AT(RgnRecord, MaskBitmap, 36);
QS_FIELD_AT(RgnRecord, MaskTransform, 40);
QS_FIELD_AT(RgnRecord, MaskPerspective, 68);
QS_FIELD_AT(RgnRecord, Bounds, 72);
QS_FIELD_AT(RgnRecord, RowTableBytes, 88);
QS_FIELD_AT(RgnRecord, RowTable, 92);
QS_FIELD_AT(RgnRecord, SegmentBytes, 96);
QS_FIELD_AT(RgnRecord, Segments, 100);
static_assert(sizeof(RgnRecord) == 104);

QS_FIELD_AT(DoubleBufferRecord, MemoryDC, 4);
QS_FIELD_AT(DoubleBufferRecord, SavedBitmap, 12);
QS_FIELD_AT(DoubleBufferRecord, Width, 16);
QS_FIELD_AT(DoubleBufferRecord, DevicePlanes, 32);
static_assert(sizeof(DoubleBufferRecord) == 36);
#endif

static_assert(sizeof(RgnTransform) == 28);
static_assert(sizeof(RgnRow) == 8);
static_assert(offsetof(BitmapRecord, Bits) < offsetof(BitmapRecord, Width));
static_assert(offsetof(BitmapRecord, Palette) < offsetof(BitmapRecord, Orientation));
static_assert(offsetof(BitmapRecord, Region) < offsetof(BitmapRecord, XResolution));
static_assert(offsetof(BitmapRecord, PaintLUT) < offsetof(BitmapRecord, Overlays));
static_assert(offsetof(RgnRecord, Bounds) < offsetof(RgnRecord, RowTableBytes));
