// In-place operations on region records and on a bitmap's region, the transform helpers, and
// the region-callback entries the kernel library calls. Every record operation keeps the
// record's identity: the caller's pointer names the changed region. Each returns 1 or a
// negative result code and, on failure, leaves the record as it was.
#pragma once
#include <cstdint>

#include "qsrecords.h"

// ---- record operations ------------------------------------------------------------------------
// Moves the region by (dx, dy). -13 for a null record. Slot 10.
int32_t QSAPI RgnOffset(RgnRecord* region, int32_t dx, int32_t dy);
// Turns the region upside down inside a bitmap of `height` lines (y -> height-1-y). Slot 11.
int32_t QSAPI RgnFlipRows(RgnRecord* region, int32_t height);
// Mirrors the region left to right inside [0, width) (x -> width-1-x). -13 for a null record.
int32_t RgnMirrorRows(RgnRecord* region, int32_t width);
// Scales by xNum/xDen and yNum/yDen, each coordinate v going to (v * num + den - 1) / den.
// -13 for a null record or a zero denominator; -1 for memory.
int32_t RgnScale(RgnRecord* region, int32_t xNum, int32_t xDen, int32_t yNum, int32_t yDen);
// The same with vertical coordinates truncated ((v * num) / den) unless verticalUp.
int32_t RgnScaleRounded(RgnRecord* region, int32_t xNum, int32_t xDen, int32_t yNum, int32_t yDen, bool verticalUp);
// Keeps only the part inside rect. -13 for null arguments; -1 for memory.
int32_t RgnClip(RgnRecord* region, const RECT* rect);

// ---- the bitmap's region ------------------------------------------------------------------------
// Mirrors the region left to right inside the bitmap's width. -2 null bitmap. Slot 1.
int32_t QSAPI RgnMirrorBitmap(BitmapRecord* bitmap);
// RgnFlipRows with the bitmap's height. -2 null bitmap. Slot 19.
int32_t QSAPI RgnFlipBitmap(BitmapRecord* bitmap);
// RgnScale to a bitmap resized to newWidth x newHeight. -2 null bitmap. Slot 6.
int32_t QSAPI RgnResizeBitmap(BitmapRecord* bitmap, int32_t newWidth, int32_t newHeight);
// Gives `target` (a fresh copy that still names the source's record) its own copy of the
// source's region, moved by (dx, dy) and clipped to the target unless its clipping is off.
// -13 for a null bitmap; on failure the target has no region. Slot 2.
int32_t QSAPI RgnCopyToBitmap(BitmapRecord* target, const BitmapRecord* source, int32_t dx, int32_t dy);
// Turns the bitmap's region clockwise by angle (hundredths of a degree: 9000, 18000 or 27000)
// inside a frame of width x height; the turned region lies in the frame of height x width (a
// half turn keeps the frame). Exact, without clipping. 1 when there is no region; -2 null
// bitmap; -13 other angles; -1 memory (the region is then unchanged). Slot 13.
int32_t QSAPI RgnRotate(BitmapRecord* bitmap, int32_t width, int32_t height, int32_t angle);
// Moves each line of the bitmap's region right by the kernel's shear slope for angle (hundredths
// of a degree) times its distance from the top line (angle >= 0) or the bottom line (angle < 0),
// then clips unless clipping is off. 1 without a region; -2 null bitmap; -13 for an angle of 90
// degrees or more, or columns beyond 32 bits. Slot 12.
int32_t QSAPI RgnShear(BitmapRecord* bitmap, int32_t angle);
// A rectangle region combined into the bitmap (Q_SetBitmapRgnRect without the bitmap checks).
// -13 null rect; otherwise what RgnCombine returns. Slot 16.
int32_t QSAPI RgnSetRect(BitmapRecord* bitmap, const RgnTransform* transform, const RECT* rect, uint32_t mode);
// The pixels of one colour, combined with the bitmap's region: Q_SetBitmapRgnColor after its
// checks of the record (storage is checked here). Region callback slot 15.
int32_t QSAPI RgnColorWorker(BitmapRecord* bitmap, uint32_t colour, uint32_t mode);

// ---- transforms --------------------------------------------------------------------------------
// Orientation 1..8 and both denominators non-zero.
bool RgnTransformIsValid(const RgnTransform& transform);
// The caller's transform, or the bitmap's own view (its orientation, scale 1, no offset).
inline RgnTransform RgnWantedTransform(const BitmapRecord& bitmap, const RgnTransform* transform) {
  return transform != nullptr ? *transform : RgnTransform{uint32_t(bitmap.Orientation), 1, 1, 1, 1, 0, 0};
}
// Whether two transforms differ at most in their offsets (what a kept GDI object can follow).
inline bool RgnSameScaleAndPerspective(const RgnTransform& a, const RgnTransform& b) {
  return a.Orientation == b.Orientation && a.XScaleNum == b.XScaleNum && a.XScaleDen == b.XScaleDen &&
         a.YScaleNum == b.YScaleNum && a.YScaleDen == b.YScaleDen;
}
// Maps a rectangle in bitmap pixels into the caller's coordinates of `transform` (perspective
// change, then scale with the documented rounding, then offset). A null transform leaves rect
// as it is. -13 for an invalid transform.
int32_t RgnMapRectOut(const BitmapRecord& bitmap, const RgnTransform* transform, RECT& rect);
// Moves a region lying in a frame of frameWidth x frameHeight seen in perspective `from` into
// perspective `to`: rows flipped, then turned by right angles. 1, -13 or -1.
int32_t RgnChangePerspective(RgnRecord* region, int32_t from, int32_t to, int32_t frameWidth, int32_t frameHeight);
// Maps a region record in place from the bitmap's pixels into the caller's coordinates of
// `transform`, like RgnMapRectOut maps rectangles: perspective, scale, offset. -2 null bitmap,
// -13 null record or invalid transform; 1 with nothing changed for a null transform.
int32_t RgnMapOutbound(const BitmapRecord* bitmap, const RgnTransform* transform, RgnRecord* region);
// Whether region clipping is on for the bitmap (Flags bit 0x10000 clear).
inline bool RgnClipsToBitmap(const BitmapRecord& bitmap) { return (bitmap.Flags & QS_FLAG_RGN_UNCLIPPED) == 0; }
