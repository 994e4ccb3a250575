// The paint paths, platform-free: each takes a PaintDevice for its bands. Rectangles: the source
// and its clip in stored pixels (the clip already cut to the bitmap), the destination and its
// clip in device units (a bottom-up destination paints like the same rectangle top-down; a null
// clip means none). Every path returns 1 (also when nothing is visible) or a failure code.
// The Windows entry points with device contexts are in paint_request.h.
#pragma once
#include <cstdint>

#include "paint/paint_band.h"
#include "paint/paint_device.h"
#include "paint/paint_lines.h"

// Scaled paints of kinds 0, 1 and 2: nearest-pixel stepping, or the kernel's resampling with
// DisplayMode bits 0x200 / 0x400, or the device's own stretch with bit 0x2 (whole bitmap).
int32_t PaintScaledTo(const PaintDevice& device, BitmapRecord* bitmap, const PaintRowBand* rows, const RECT& source,
                      const RECT& sourceClip, const RECT& dest, const RECT* destClip, int32_t depth, int32_t kind);
// Same-size paints of kinds 0, 1, 2, 5 and 6; the dither pattern is anchored to the bitmap.
int32_t PaintUnscaledTo(const PaintDevice& device, BitmapRecord* bitmap, const PaintRowBand* rows, const RECT& source,
                        const RECT& sourceClip, const RECT& dest, const RECT* destClip, int32_t depth, int32_t kind);
// Same-size paints of 1-bit grey bitmaps as 8-bit grey (kinds 3 and 4; invert for kind 4).
int32_t PaintMonoGrayUnscaledTo(const PaintDevice& device, BitmapRecord* bitmap, const RECT& source,
                                const RECT& sourceClip, const RECT& dest, const RECT* destClip, int32_t invert);

// The dispatcher without its device measurement: defaults and clips the rectangles, brackets
// the paint with pixel access and chooses the path. srcRect, srcClip and dstClip may be null.
int32_t PaintBitmapTo(const PaintDevice& device, BitmapRecord* bitmap, const RECT* srcRect, const RECT* srcClip,
                      const RECT* dstRect, const RECT* dstClip, int32_t depth, int32_t kind);
// The same for rows held in memory (rows.RowCount > 0) instead of the bitmap's storage: the
// source clip is also cut to the band's rows, and the 1-bit grey kinds paint natively.
int32_t PaintBandTo(const PaintDevice& device, BitmapRecord* bitmap, const PaintRowBand& rows, const RECT* srcRect,
                    const RECT* srcClip, const RECT* dstRect, const RECT* dstClip, int32_t depth, int32_t kind);
// Whether the destination differs in size from the source (width against height for the
// transposed orientations 5 to 8); heights compare as absolute values.
bool IsScaledPaint(const BitmapRecord& bitmap, const RECT& source, const RECT& dest);

// The band loop shared by the paths: prepares the header, produces every line into the band and
// sends the bands; a failing line still sends the lines before it.
int32_t PaintRows(const PaintDevice& device, BitmapRecord* bitmap, const PaintRowBand* rows, const PaintGeometry& g,
                  const PaintOutput& output, bool anchorAtBitmap, uint32_t mode);
int32_t PaintAllLines(LinePainter& painter, PaintBand& band);
// The resampling loop of scaled paints.
int32_t PaintResampled(const PaintDevice& device, BitmapRecord* bitmap, const PaintRowBand* rows, const RECT& source,
                       const PaintGeometry& g, const PaintOutput& output, uint32_t mode);
