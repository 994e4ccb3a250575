// The row routines every paint path runs between fetching a source row and handing a row of a
// device-independent bitmap to the device: row fetchers, row unpackers, dither kernels, and the
// small helpers that go with them (pixel byte offsets, the palette of a painted row, selectors).
// Every routine works on one row, left to right, allocates nothing and never writes the record.
#pragma once
#include <cstdint>

#include "qsrecords.h"

// ---- row fetchers ------------------------------------------------------------------------------
// Both fetchers take the same arguments, so a path (or the kernel library's resampler, which
// calls them back) can hold either: bitmap, destination buffer, source row, first source column
// in pixels, number of bytes, fetch context. They return a result code.
typedef int32_t(QSAPI* RowFetchFn)(const BitmapRecord* bitmap, void* buffer, int32_t row, int32_t column,
                                   uint32_t bytes, const void* context);

// Rows already in memory, laid out with the bitmap's BytesPerLine.
struct BandFetchContext {
  const uint8_t* Band;  // the band's first byte
  int32_t FirstRow;     // bitmap row index of the band's first row
  int32_t RowCount;     // rows in the band
};

// A caller's source of rows: (bitmap, buffer, row, column, bytes, user value); its result is
// returned as is, 1 meaning success.
typedef int32_t(QSAPI* RowCallback)(const BitmapRecord* bitmap, void* buffer, int32_t row, int32_t column,
                                    uint32_t bytes, void* user);

struct BitmapFetchContext {
  const BitmapRecord* Bitmap;  // the bitmap the rows come from (the fetcher's own argument when null)
  int32_t ColumnOffset;        // added to the requested column, then clamped to 0 .. Width - 1
  int32_t RowOffset;           // added to the requested row, then clamped to 0 .. Height - 1
  RowCallback Callback;        // null: rows come from KrnGetBitmapRow
  void* User;
  int32_t BitShift;            // 0 to 7: the fetched bytes are shifted left by this many bits
};

// The row clamped into the band; copies `bytes` bytes from the column's byte offset. -13 when
// the context is null or describes no rows, else 1.
int32_t QSAPI FetchBandRow(const BitmapRecord* bitmap, void* buffer, int32_t row, int32_t column,
                           uint32_t bytes, const void* context);
// Row and column moved by the context's offsets and clamped, the byte count cut at BytesPerLine.
// Returns the callback's result, or 1 when the kernel delivered every byte, -7 when it delivered
// fewer, -13 for a null context.
int32_t QSAPI FetchBitmapRow(const BitmapRecord* bitmap, void* buffer, int32_t row, int32_t column,
                             uint32_t bytes, const void* context);

// Byte offset of pixel x in a row of the given depth (8 and unknown depths: x).
uint32_t PixelByteOffset(int32_t bitsPerPixel, int32_t x);

// ---- palette of a painted row ------------------------------------------------------------------
inline constexpr uint32_t kRowPaletteCube = 0x1;      // 8-bit dither output uses FixedPaletteCube
inline constexpr uint32_t kRowPaletteAsStored = 0x2;  // the bitmap's palette without PaintLUT

// Fills `entries` (room for 256) with the colour table of a row painted on path `pathKind`
// (2 = dithered to dstBits against the fixed palette) and stores the entry count in *count.
void GetRowPalette(const BitmapRecord* bitmap, int32_t pathKind, int32_t dstBits, int32_t* count,
                   RGBQUAD* entries, uint32_t options);

// ---- row unpackers -----------------------------------------------------------------------------
// Pixels x0 .. x1 - 1 of src, written from the first byte of dst at the unpacked depth.
typedef void (*UnpackRowFn)(uint8_t* dst, const uint8_t* src, const BitmapRecord* bitmap, int32_t x0, int32_t x1);

void UnpackRow2To4(uint8_t* dst, const uint8_t* src, const BitmapRecord* bitmap, int32_t x0, int32_t x1);
void UnpackRow3To4(uint8_t* dst, const uint8_t* src, const BitmapRecord* bitmap, int32_t x0, int32_t x1);
void UnpackRow5To8(uint8_t* dst, const uint8_t* src, const BitmapRecord* bitmap, int32_t x0, int32_t x1);
void UnpackRow6To8(uint8_t* dst, const uint8_t* src, const BitmapRecord* bitmap, int32_t x0, int32_t x1);
void UnpackRow7To8(uint8_t* dst, const uint8_t* src, const BitmapRecord* bitmap, int32_t x0, int32_t x1);
void UnpackRow12GreyTo24(uint8_t* dst, const uint8_t* src, const BitmapRecord* bitmap, int32_t x0, int32_t x1);
void UnpackRow12GreyTo8(uint8_t* dst, const uint8_t* src, const BitmapRecord* bitmap, int32_t x0, int32_t x1);
// Order 2: windowed grey as for 12 bits; otherwise 5-5-5 expanded in stored field order.
void UnpackRow16To24(uint8_t* dst, const uint8_t* src, const BitmapRecord* bitmap, int32_t x0, int32_t x1);
void UnpackRow16GreyTo8(uint8_t* dst, const uint8_t* src, const BitmapRecord* bitmap, int32_t x0, int32_t x1);
void UnpackRow32To24(uint8_t* dst, const uint8_t* src, const BitmapRecord* bitmap, int32_t x0, int32_t x1);
void UnpackRow48To24(uint8_t* dst, const uint8_t* src, const BitmapRecord* bitmap, int32_t x0, int32_t x1);
void UnpackRow64To24(uint8_t* dst, const uint8_t* src, const BitmapRecord* bitmap, int32_t x0, int32_t x1);

// The unpacker from srcBits to outBits (2, 3 -> 4; 5, 6, 7 -> 8; 12, 16 -> 8 (grey) or 24;
// 32, 48, 64 -> 24), or null when the pair has none.
UnpackRowFn SelectUnpackRow(int32_t srcBits, int32_t outBits);

// ---- dither kernels ----------------------------------------------------------------------------
// Arguments: destination row (written from its first byte), source row, bitmap, first source
// pixel x0, end source pixel x1, destination column and destination row of the first written
// pixel (relative to the destination rectangle; used by ordered dither), error row (three i32 per
// pixel, red, green, blue, zero-filled before a paint's first row; used by error diffusion),
// source palette (sources of 8 bits or fewer, read as stored; PaintLUT is applied by the kernel).
// The thread's DisplayMode bits 0x20 and 0x100 are read by the kernels that need them.
typedef void (*DitherRowFn)(uint8_t* dst, const uint8_t* src, const BitmapRecord* bitmap, int32_t x0, int32_t x1,
                            int32_t dstColumn, int32_t dstRow, int32_t* errorRow, const RGBQUAD* palette);

// The kernel for (srcBits, dstBits): ordered when the thread's DisplayMode has bit 0x1, else
// error diffusion; null when the pair has none. Callers pass dstBits 8 for deeper devices.
DitherRowFn SelectDitherRow(const BitmapRecord* bitmap, int32_t srcBits, int32_t dstBits);
