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
/* colour: a Windows colour value; inside the bitmap's region when it has one. */
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
/* From the bitmap's own orientation to perspective, and back. */
int32_t QSAPI KrnRectToPerspective(const BitmapRecord* bitmap, int32_t perspective, RECT* rect);
int32_t QSAPI KrnRectFromPerspective(const BitmapRecord* bitmap, int32_t perspective, RECT* rect);
int32_t QSAPI KrnPointToPerspective(const BitmapRecord* bitmap, int32_t perspective, POINT* point);
int32_t QSAPI KrnPointFromPerspective(const BitmapRecord* bitmap, int32_t perspective, POINT* point);

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
/* Copies the current region table into out (20 entries); returns how often it was set. */
int32_t QSAPI KrnTestGetRgnCallbacks(KrnRgnEntry* out);

#ifdef __cplusplus
}
#endif

#endif
