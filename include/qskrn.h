/* QSKRN14E: the kernel library. It owns every BitmapRecord, its pixels, palette and tone tables,
 * and gives the display library memory, thread-local slots, row access and palette services.
 * The display library imports these services by ordinal; hosts may link them by name too.
 * Every service is stdcall on 32-bit Windows. Plain C. */
#ifndef QSKRN_H
#define QSKRN_H

#include "qsrecords.h"

#ifdef __cplusplus
extern "C" {
#endif

/* ---- memory --------------------------------------------------------------------------------
 * Two families; each block is freed by its own family's partner. Null on failure. */
void* QSAPI KrnMemAlloc(uint32_t bytes);
void* QSAPI KrnMemAllocEx(uint32_t count, uint32_t size); /* zero-filled count x size */
void* QSAPI KrnMemRealloc(void* block, uint32_t bytes);
void QSAPI KrnMemFree(void* block);
void* QSAPI KrnAlloc(uint32_t bytes);
void* QSAPI KrnAllocZeroed(uint32_t bytes, uint32_t flags); /* flags bit 1: zero-filled */
void* QSAPI KrnRealloc(void* block, uint32_t bytes);
void QSAPI KrnFree(void* block);

/* ---- thread-local slots -------------------------------------------------------------------- */
int32_t QSAPI KrnTlsAlloc(void);                      /* slot index, or -1 */
int32_t QSAPI KrnTlsSetValue(int32_t slot, void* value); /* 1, or 0 for a bad slot */
void* QSAPI KrnTlsGetValue(int32_t slot);             /* 0 when unset */
int32_t QSAPI KrnTlsFree(int32_t slot);

/* ---- bitmap lifetime ------------------------------------------------------------------------
 * Memory kinds for KrnAllocateBitmap. */
#define KRN_MEMORY_ONE_BLOCK 1 /* one addressable block at Bits (Flags 0x2) */
#define KRN_MEMORY_ROWS 2      /* rows held apart; only row services reach them (Flags 0x4) */

/* A described bitmap with no storage: orientation 1, intensity 0, contrast 0, gamma 100, an
 * identity PaintLUT and, for 8 bits or fewer, a grey palette. */
int32_t QSAPI KrnInitBitmap(BitmapRecord* bitmap, uint32_t structSize, int32_t width, int32_t height,
                            int32_t bitsPerPixel);
int32_t QSAPI KrnAllocBitmapStorage(BitmapRecord* bitmap, int32_t memoryKind);
/* palette: 1 << bits entries (or null for a grey ramp); data: size bytes copied into the rows. */
int32_t QSAPI KrnAllocateBitmap(BitmapRecord* bitmap, uint32_t structSize, int32_t memoryKind,
                                int32_t width, int32_t height, int32_t bitsPerPixel, int32_t order,
                                const RGBQUAD* palette, int32_t orientation, const void* data,
                                uint32_t size);
int32_t QSAPI KrnFreeBitmap(BitmapRecord* bitmap);
int32_t QSAPI KrnCopyBitmap(BitmapRecord* destination, const BitmapRecord* source, uint32_t structSize);
/* colour: a Windows colour value, or a palette index with top byte 0x01 on bitmaps of 8 bits or
 * fewer; inside the bitmap's region when it has one. */
int32_t QSAPI KrnFillBitmap(BitmapRecord* bitmap, COLORREF colour);

/* ---- pixel access ---------------------------------------------------------------------------- */
uint32_t QSAPI KrnBeginBitmapAccess(BitmapRecord* bitmap);
int32_t QSAPI KrnReleaseBitmapAccess(BitmapRecord* bitmap, uint32_t token);
/* Bytes of stored row `row` from pixel `column` on; returns the bytes copied (cut at the row's
 * end), or a negative result code. */
int32_t QSAPI KrnGetBitmapRow(const BitmapRecord* bitmap, void* buffer, int32_t row, int32_t column,
                              uint32_t bytes);
int32_t QSAPI KrnPutBitmapRow(BitmapRecord* bitmap, const void* buffer, int32_t row, int32_t column,
                              uint32_t bytes);
/* Colours (COLORREF, one per pixel of the row) stored at the columns of count segment values
 * [start, end) of stored row `row`, in the bitmap's pixel format (nearest palette entry for
 * palette bitmaps). Returns 1 or a result code. */
int32_t QSAPI KrnPutRowColors(BitmapRecord* bitmap, int32_t row, const uint32_t* colours, const int32_t* segments,
                              uint32_t count);

/* ---- palettes -------------------------------------------------------------------------------- */
int32_t QSAPI KrnGetBitmapPalette(const BitmapRecord* bitmap, int32_t first, int32_t count,
                                  RGBQUAD* buffer); /* entries copied */
int32_t QSAPI KrnGetBitmapColors(const BitmapRecord* bitmap, int32_t first, int32_t count,
                                 RGBQUAD* buffer);
int32_t QSAPI KrnSetBitmapColors(BitmapRecord* bitmap, int32_t first, int32_t count,
                                 const RGBQUAD* colours); /* entries stored */
int32_t QSAPI KrnIsGrayscale(const BitmapRecord* bitmap); /* 0 no, 1 ascending, 2 descending */
int32_t QSAPI KrnComparePalette(const BitmapRecord* bitmap, const RGBQUAD* table, int32_t count);
/* A copy of the paint palette for a device of 1, 4 or 8 bits (1 << bits entries), freed with
 * KrnFree; null for other depths or when memory runs out. */
RGBQUAD* QSAPI KrnGetFixedPalette(int32_t bits);

/* ---- orientation -----------------------------------------------------------------------------
 * Codes 1 to 8 as TIFF's Orientation tag: 1 rows top-down, columns left to right; 2 columns
 * mirrored; 3 turned 180 degrees; 4 rows bottom-up (DIB order); 5 to 8 transposed: 5 first row
 * is the left column, 6 first row the right column (first column the top), 7 first row the right
 * column, 8 first row the left column (first column the bottom).
 * A rectangle or point "in perspective p" is in the frame in which the image would be stored with
 * orientation p. */
/* The change from frame `from` to frame `to` as rows flipped first (flip 1), then a clockwise
 * turn of angle degrees (0, 90, 180, 270). Returns 1, or -13 for codes outside 1..8. */
int32_t QSAPI KrnOrientationInfo(int32_t from, int32_t to, int32_t* flip, int32_t* angle);
/* Maps rect, given in frame `from` of width x height pixels, into frame `to`, in place. */
int32_t QSAPI KrnMapViewPoint(int32_t from, int32_t width, int32_t height, int32_t to, RECT* rect);
/* The horizontal shift per line of a shear by angle hundredths of a degree (sign ignored), as
 * numerator / denominator: tan(angle) in 1/65536 steps. Below 90 degrees; 0 from both beyond. */
int32_t QSAPI KrnShearNumerator(int32_t angle);
int32_t QSAPI KrnShearDenominator(int32_t angle);
/* From the bitmap's own orientation to perspective, and back. */
int32_t QSAPI KrnRectToPerspective(const BitmapRecord* bitmap, int32_t perspective, RECT* rect);
int32_t QSAPI KrnRectFromPerspective(const BitmapRecord* bitmap, int32_t perspective, RECT* rect);
int32_t QSAPI KrnPointToPerspective(const BitmapRecord* bitmap, int32_t perspective, POINT* point);
int32_t QSAPI KrnPointFromPerspective(const BitmapRecord* bitmap, int32_t perspective, POINT* point);

/* ---- row services for painting --------------------------------------------------------------
 * The window of significant bits of a 12 or 16-bit grey pixel, for reading it at targetBits
 * (the pixel depth when a window-level LUT indexes it, else 8): v = (pixel >> shift) & mask,
 * with *significantBits bits in v (never more than targetBits). Window bits outside the pixel
 * are cut to it; a high bit below the low bit means the whole pixel. Returns 1, or -13 for a
 * depth other than 12 or 16 or a null output. */
int32_t QSAPI KrnGetGrayWindow(int32_t bitsPerPixel, int32_t targetBits, int32_t windowLowBit,
                               int32_t windowHighBit, int32_t* significantBits, uint32_t* mask,
                               int32_t* shift);

/* ---- row stepping, buffer turns, work records and resampling for painting --------------------
 * Picks count pixels of a row at its own depth into dest (written from pixel 0): output pixel i
 * is source pixel first + direction x (i x step + (start + i x remainder) / denominator), with
 * direction 1 or -1, 0 <= remainder <= denominator and 0 <= start < denominator (a walk that
 * adds step per pixel and carries remainder in an accumulator). Packed output leaves the unused
 * bits of its last byte zero. Returns 1, or -13 (also for a backward walk that passes pixel 0). */
int32_t QSAPI KrnConvertRow(const void* source, void* dest, int32_t bitsPerPixel, int32_t first, int32_t count,
                            int32_t direction, int32_t step, int32_t remainder, int32_t denominator,
                            int32_t start);
/* Reorders the colour channels of count pixels in place between two component orders (orders 1
 * and 5 store blue first, 2 is grey, the others red first); the depth stays: sourceBits must
 * equal destBits; palette and flags are reserved (null, 0). Returns 1 or -13. */
int32_t QSAPI KrnConvertRowFormat(void* row, int32_t count, int32_t sourceBits, int32_t destBits,
                                  int32_t sourceOrder, int32_t destOrder, const RGBQUAD* palette,
                                  uint32_t flags);
/* Buffers as they lie in memory, first row on top; `rows` rows of `width` pixels, stride bytes
 * apart. how: 0x1 reverses the row order, 0x2 mirrors each row; source may equal dest. */
int32_t QSAPI KrnFlipBuffer(const void* source, void* dest, int32_t bitsPerPixel, int32_t width, int32_t rows,
                            int32_t stride, uint32_t how);
/* A quarter turn into dest (`width` rows of `rows` pixels, destStride apart): direction 1
 * clockwise, dest(r, c) = source(rows - 1 - c, r); 0 counterclockwise, source(c, width - 1 - r). */
int32_t QSAPI KrnRotateBuffer(const void* source, void* dest, int32_t bitsPerPixel, int32_t width, int32_t rows,
                              int32_t sourceStride, int32_t destStride, int32_t direction);
/* A work record of width x height at bitsPerPixel that looks like `bitmap`: its order, value
 * range, tone values and PaintLUT, and its palette when the depth is the same, all shared, not
 * copied. memoryKind 0: no storage; KRN_MEMORY_ONE_BLOCK or KRN_MEMORY_ROWS: zeroed storage.
 * Release it with KrnReleaseTempBitmap only (KrnFreeBitmap would free the shared tables). */
int32_t QSAPI KrnInitResizedBitmap(BitmapRecord* work, const BitmapRecord* bitmap, uint32_t structSize,
                                   int32_t width, int32_t height, int32_t bitsPerPixel, int32_t memoryKind);
/* Copies order, resolution, LowBit, HighBit, MinVal, MaxVal, the window bits and Flags 0x800. */
int32_t QSAPI KrnCopyBitmapInfo(BitmapRecord* dest, const BitmapRecord* source);
/* Frees what a work record allocated and clears it; -13 for a record not made as a work record. */
int32_t QSAPI KrnReleaseTempBitmap(BitmapRecord* work);

/* Resampling. A row source stands in for the source's own rows: (bitmap, buffer, row, column,
 * bytes, context), returning 1 when it delivered the bytes. Options: exactly one filter,
 * KRN_RESIZE_SMOOTH (bilinear, averaging every pixel when reducing) or KRN_RESIZE_SHARP (bicubic
 * when enlarging, area average when reducing), per axis; KRN_RESIZE_BGR reads colour pixels by
 * Order and writes blue, green, red (without it, bytes keep their stored order). Output of 24 or
 * 32 bits is colour; 1, 4 or 8 bits is grey levels, or with KRN_RESIZE_DITHER the fixed paint
 * palette of that depth (KRN_RESIZE_CUBE: the 216-colour cube at 8 bits), by error diffusion or,
 * with KRN_RESIZE_ORDERED, an ordered threshold. Grey data (Order 2) is read through the window
 * of LowBit..HighBit, and through LUT when the record has one. palette: the source's palette for
 * 8 bits or fewer (null: its own). */
#define KRN_RESIZE_BGR 0x4u
#define KRN_RESIZE_SMOOTH 0x10u
#define KRN_RESIZE_SHARP 0x20u
#define KRN_RESIZE_DITHER 0x10000u
#define KRN_RESIZE_ORDERED 0x60000u
#define KRN_RESIZE_CUBE 0x80000u
typedef int32_t(QSAPI* KrnRowSource)(const BitmapRecord* bitmap, void* buffer, int32_t row, int32_t column,
                                     uint32_t bytes, const void* context);
int32_t QSAPI KrnStartResize(const BitmapRecord* source, KrnRowSource rows, const void* rowContext, int32_t width,
                             int32_t height, int32_t outBits, const RGBQUAD* palette, uint32_t options,
                             void** context);
/* Output row `row` from column `column`, count pixels, into dest. Returns 1, -13, -1, or the
 * row source's failure. */
int32_t QSAPI KrnResizeRow(void* context, void* dest, int32_t row, int32_t column, int32_t count);
int32_t QSAPI KrnStopResize(void* context); /* accepts null */

/* ---- packed DIBs ---------------------------------------------------------------------------
 * header: a core (12-byte) or information (40, 52, 56, 108 or 124-byte) header and its colour
 * table or masks; bits: the first stored row. Depths 1, 4, 8, 16, 24 and 32, uncompressed or with
 * bit-field masks. Rows keep the DIB's order: orientation 4 for a bottom-up DIB, 1 for a top-down
 * one. 5-5-5 and blue-first 8-8-8 pixels stay as they are (Order 1), red-first 32-bit ones take
 * Order 0, other masks become 24-bit. Resolution from the header when given. Returns 1, -2, -789,
 * -13 (a header or format not taken) or -1; the record is written only on success. */
int32_t QSAPI KrnDIBToBitmap(BitmapRecord* bitmap, uint32_t structSize, const void* header, const void* bits);

#if defined(_WIN32)
/* ---- GDI palettes and global DIBs (Windows builds); the caller deletes the palette --------- */
/* A logical palette of the bitmap's ColorCount palette entries; 0 when it has none. */
HPALETTE QSAPI KrnCreateBitmapGdiPalette(const BitmapRecord* bitmap);
/* A logical palette of count entries (1 to 256); 0 on failure. */
HPALETTE QSAPI KrnCreateGdiPalette(const RGBQUAD* entries, int32_t count);
/* The screen's system palette on palette screens, else 0 (none is needed). */
HPALETTE QSAPI KrnCreateDefaultPalette(void);
/* KrnDIBToBitmap of a packed DIB in a global memory block, whose size is checked first; on
 * success the kernel frees the block, on failure the caller keeps it. A null block gives -2. */
int32_t QSAPI KrnBitmapFromDIB(BitmapRecord* bitmap, uint32_t structSize, HGLOBAL dib);
#endif

/* ---- regions --------------------------------------------------------------------------------- */
typedef void(QSAPI* KrnRgnEntry)(void);
#define KRN_RGN_ENTRY_COUNT 20
/* The display library's 20 region entry points, in the fixed slot order; all null withdraws them. */
void QSAPI KrnSetRgnCallbacks(const KrnRgnEntry* table);
/* Frees a region record: row table, segments, both GDI handles and the record. Accepts null. */
void QSAPI KrnFreeRgnMemory(RgnRecord* region);

/* ---- test controls ---------------------------------------------------------------------------
 * For the project's tests: counting and failing allocations, and reading the region table. */
int32_t QSAPI KrnTestLiveBlocks(void);           /* blocks of every allocator not yet freed */
void QSAPI KrnTestFailAllocation(int32_t nth);   /* the nth allocation from now fails; 0 = none */
int32_t QSAPI KrnTestAllocationCount(void);      /* allocations attempted so far */
/* The most bytes live blocks held beyond those live at the last reset; reset non-zero starts
 * counting afresh from now. */
uint64_t QSAPI KrnTestPeakBytes(int32_t reset);
/* Copies the current region table into out (20 entries); returns how often it was set. */
int32_t QSAPI KrnTestGetRgnCallbacks(KrnRgnEntry* out);

#ifdef __cplusplus
}
#endif

#endif
