// How the kernel stores one pixel value at each depth: packed depths of 1 to 7 bits fill bytes
// from the most significant bit (3, 5, 6 and 7-bit values may straddle two bytes); 12 bits keep
// two pixels in three bytes (the even pixel in the low 12 bits of the little-endian word at its
// offset, the odd pixel in the high 12 bits of the word one byte further); wider pixels are
// little-endian channels of 8 or 16 bits.
#pragma once
#include <cstdint>

#include "qsrecords.h"

// Byte offset of pixel x in a row.
uint32_t PixelOffsetBytes(int32_t bitsPerPixel, int32_t x);
// Bytes of a row of width pixels, before any padding.
uint32_t RowPayloadBytes(int32_t bitsPerPixel, int32_t width);
// Stored rows are padded to 4 bytes, as in device-independent bitmaps.
int32_t PaddedRowBytes(int32_t bitsPerPixel, int32_t width);
bool IsSupportedDepth(int32_t bitsPerPixel);
// The padded row bytes of a width x height bitmap of that depth, or -1 when the size or depth
// cannot be stored (non-positive sides, unknown depth, more than 2 GiB of rows).
int32_t StorableRowBytes(int32_t bitsPerPixel, int32_t width, int32_t height);

// The raw value of pixel x (packed index, 12/16-bit word, or up to 8 little-endian bytes).
uint64_t LoadPixel(const uint8_t* row, int32_t bitsPerPixel, int32_t x);
void StorePixel(uint8_t* row, int32_t bitsPerPixel, int32_t x, uint64_t value);

// The stored value that stands for a Windows colour value in this bitmap (nearest palette
// entry for 8 bits or fewer; grey levels for grey data; channel order by Order).
uint64_t PixelValueForColor(const BitmapRecord& bitmap, COLORREF colour);
