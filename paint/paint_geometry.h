// Rectangles of a paint and the mapping between destination pixels and the bitmap's stored
// pixels. Every position is computed in 64-bit integers, so the mapping is exact for any size
// of rectangle.
//
// Frames: the caller's source rectangle is in stored pixels (x along Width, y along Height);
// the "picture" is the bitmap shown upright for its Orientation (frame 1 of KrnMapViewPoint).
// A destination pixel (X, Y) shows picture pixel
//   px = src.left + floor((X - dst.left) x srcW / dstW)               (anchored at the left edge)
//   py = src.bottom - 1 - floor((dst.bottom - 1 - Y) x srcH / dstH)   (anchored at the bottom edge)
// with src the source rectangle in the picture frame. The same formulas hold for all eight
// orientations: a bitmap of any orientation paints exactly as its upright copy would.
#pragma once
#include <cstdint>

#include "qsrecords.h"

// out = (max left, max top, min right, min bottom), written even when empty; 1 when the result
// has right > left and bottom > top, else 0.
int32_t IntersectRectangles(RECT* out, const RECT* a, const RECT* b);
void MakeRect(RECT* rect, int32_t left, int32_t top, int32_t right, int32_t bottom);

// How stored pixels lie in the picture.
struct StoredAxes {
  bool Transposed;  // stored rows are picture columns
  bool ReverseX;    // stored x runs against the picture axis it lies along (x, or y when transposed)
  bool ReverseY;    // stored y likewise (picture y, or x when transposed)
};
StoredAxes AxesOf(const BitmapRecord& bitmap);

// Picture extents of the bitmap.
int32_t PictureWidth(const BitmapRecord& bitmap);
int32_t PictureHeight(const BitmapRecord& bitmap);

// A walk along one line of the output: pixel i reads stored column
// First + Direction x (i x Step + (Start + i x Remainder) / Denominator), as KrnConvertRow steps.
struct ColumnWalk {
  int32_t First;
  int32_t Direction;
  int32_t Step, Remainder, Denominator, Start;
  int32_t Count;
};

// The geometry of one paint: rectangles normalised top-down, the visible destination pixels and
// how the output is cut into lines. A line is a destination row (bottom row first) when the
// stored rows are picture rows, else a destination column (rightmost first); line pixels run
// along the other destination axis (left to right along a row, bottom to top along a column).
struct PaintGeometry {
  RECT Dst;      // destination, top-down
  RECT Src;      // source rectangle in the picture frame
  RECT Clip;     // source clip in the picture frame
  RECT Visible;  // destination pixels that show clipped source pixels
  int64_t SrcW, SrcH, DstW, DstH;
  StoredAxes Axes;
  int32_t StoredWidth, StoredHeight;
  int32_t Lines;       // lines to produce
  int32_t LineLength;  // pixels per line
};

// Builds the geometry; returns false when nothing is visible. srcRect and srcClip are in stored
// pixels; the clip is already cut to the bitmap. dstClip may be null.
bool PlanPaint(const BitmapRecord& bitmap, const RECT& srcRect, const RECT& srcClip, const RECT& dstRect,
               const RECT* dstClip, PaintGeometry& g);

int32_t PictureColumn(const PaintGeometry& g, int32_t x);  // px for destination column x
int32_t PictureRow(const PaintGeometry& g, int32_t y);     // py for destination row y

// Destination position of line `line` (its row y, or its column x when transposed).
int32_t LineDestination(const PaintGeometry& g, int32_t line);
// The stored row that line `line` reads.
int32_t LineStoredRow(const PaintGeometry& g, int32_t line);
// The stored columns that the pixels of every line read.
ColumnWalk LineColumns(const PaintGeometry& g);
