// The paint entry points that take a device context (Windows builds): the dispatcher used by
// Q_PaintDC and by other parts of the library, and the paths with their device-context form.
#pragma once
#include <cstdint>

#include "paint/paint_device.h"

#if defined(_WIN32)
// A paint device over a device context: bands go out with StretchDIBits at 1:1 with `rop`.
// Contexts in a mapping mode other than MM_TEXT get COLORONCOLOR stretching.
PaintDevice PaintDeviceForDC(HDC hdc, uint32_t rop);

// Q_PaintDC without its argument checks; 1 also when nothing is visible.
int32_t PaintBitmapToDC(HDC hdc, BitmapRecord* bitmap, const RECT* srcRect, const RECT* srcClip, const RECT* dstRect,
                        const RECT* dstClip, uint32_t rop);

// band, bandFirstRow, bandRowCount: rows already in memory instead of the bitmap's (0, 0, 0: none).
int32_t PaintScaled(HDC hdc, BitmapRecord* bitmap, const uint8_t* band, int32_t bandFirstRow, int32_t bandRowCount,
                    const RECT* source, const RECT* sourceClip, const RECT* dest, const RECT* destClip, int32_t depth,
                    int32_t kind, uint32_t rop);
int32_t PaintUnscaled(HDC hdc, BitmapRecord* bitmap, const uint8_t* band, int32_t bandFirstRow, int32_t bandRowCount,
                      const RECT* source, const RECT* sourceClip, const RECT* dest, const RECT* destClip,
                      int32_t depth, int32_t kind, uint32_t rop);
int32_t PaintMonoGrayUnscaled(HDC hdc, BitmapRecord* bitmap, const RECT* source, const RECT* sourceClip,
                              const RECT* dest, const RECT* destClip, int32_t invert, uint32_t rop);
#endif
