#include "paint/paint_geometry.h"

#include <cstdint>

#include "qskrn.h"

namespace {
bool Transposed(const BitmapRecord& b) { return b.Orientation >= 5 && b.Orientation <= 8; }

int64_t CeilDiv(int64_t a, int64_t b) { return (a + b - 1) / b; }  // a >= 0, b > 0

RECT TopDown(const RECT& r) {
  RECT out = r;
  if (out.bottom < out.top) {
    out.top = r.bottom;
    out.bottom = r.top;
  }
  return out;
}

RECT ToPicture(const BitmapRecord& b, const RECT& stored) {
  RECT r = stored;
  KrnMapViewPoint(b.Orientation, b.Width, b.Height, 1, &r);
  return r;
}
}  // namespace

int32_t IntersectRectangles(RECT* out, const RECT* a, const RECT* b) {
  out->left = a->left > b->left ? a->left : b->left;
  out->top = a->top > b->top ? a->top : b->top;
  out->right = a->right < b->right ? a->right : b->right;
  out->bottom = a->bottom < b->bottom ? a->bottom : b->bottom;
  return out->right > out->left && out->bottom > out->top ? 1 : 0;
}

void MakeRect(RECT* rect, int32_t left, int32_t top, int32_t right, int32_t bottom) {
  rect->left = left;
  rect->top = top;
  rect->right = right;
  rect->bottom = bottom;
}

int32_t PictureWidth(const BitmapRecord& b) { return Transposed(b) ? b.Height : b.Width; }
int32_t PictureHeight(const BitmapRecord& b) { return Transposed(b) ? b.Width : b.Height; }

StoredAxes AxesOf(const BitmapRecord& b) {
  // Where the picture's top-left pixel is stored tells which stored axes run backwards.
  RECT origin{0, 0, 1, 1};
  KrnMapViewPoint(1, PictureWidth(b), PictureHeight(b), b.Orientation, &origin);
  return StoredAxes{Transposed(b), origin.left != 0, origin.top != 0};
}

bool PlanPaint(const BitmapRecord& bitmap, const RECT& srcRect, const RECT& srcClip, const RECT& dstRect,
               const RECT* dstClip, PaintGeometry& g) {
  g = PaintGeometry{};
  // A bottom-up destination paints the same pixels as the same rectangle given top-down.
  g.Dst = TopDown(dstRect);
  g.Src = ToPicture(bitmap, srcRect);
  g.Clip = ToPicture(bitmap, srcClip);
  g.SrcW = int64_t(g.Src.right) - g.Src.left;
  g.SrcH = int64_t(g.Src.bottom) - g.Src.top;
  g.DstW = int64_t(g.Dst.right) - g.Dst.left;
  g.DstH = int64_t(g.Dst.bottom) - g.Dst.top;
  if (g.SrcW <= 0 || g.SrcH <= 0 || g.DstW <= 0 || g.DstH <= 0 || g.DstW > INT32_MAX || g.DstH > INT32_MAX)
    return false;
  g.Axes = AxesOf(bitmap);
  g.StoredWidth = bitmap.Width;
  g.StoredHeight = bitmap.Height;

  // The destination pixels whose source pixel lies in the clip (ceiling division: the first
  // destination column whose column is at or past the clip's edge).
  RECT mapped;
  mapped.left = int32_t(g.Dst.left + CeilDiv((int64_t(g.Clip.left) - g.Src.left) * g.DstW, g.SrcW));
  mapped.right = int32_t(g.Dst.left + CeilDiv((int64_t(g.Clip.right) - g.Src.left) * g.DstW, g.SrcW));
  mapped.top = int32_t(g.Dst.bottom - CeilDiv((int64_t(g.Src.bottom) - g.Clip.top) * g.DstH, g.SrcH));
  mapped.bottom = int32_t(g.Dst.bottom - CeilDiv((int64_t(g.Src.bottom) - g.Clip.bottom) * g.DstH, g.SrcH));
  if (!IntersectRectangles(&g.Visible, &mapped, &g.Dst)) return false;
  if (dstClip != nullptr) {
    const RECT clip = TopDown(*dstClip);
    if (!IntersectRectangles(&g.Visible, &g.Visible, &clip)) return false;
  }
  const int32_t visW = g.Visible.right - g.Visible.left, visH = g.Visible.bottom - g.Visible.top;
  g.Lines = g.Axes.Transposed ? visW : visH;
  g.LineLength = g.Axes.Transposed ? visH : visW;
  return true;
}

int32_t PictureColumn(const PaintGeometry& g, int32_t x) {
  return int32_t(g.Src.left + (int64_t(x) - g.Dst.left) * g.SrcW / g.DstW);
}

int32_t PictureRow(const PaintGeometry& g, int32_t y) {
  return int32_t(g.Src.bottom - 1 - (int64_t(g.Dst.bottom) - 1 - y) * g.SrcH / g.DstH);
}

int32_t LineDestination(const PaintGeometry& g, int32_t line) {
  return g.Axes.Transposed ? g.Visible.right - 1 - line : g.Visible.bottom - 1 - line;
}

int32_t LineStoredRow(const PaintGeometry& g, int32_t line) {
  const int32_t d = LineDestination(g, line);
  const int32_t p = g.Axes.Transposed ? PictureColumn(g, d) : PictureRow(g, d);
  return g.Axes.ReverseY ? g.StoredHeight - 1 - p : p;
}

ColumnWalk LineColumns(const PaintGeometry& g) {
  ColumnWalk w{};
  int64_t offset = 0, srcLength = 0, dstLength = 0;
  int32_t first = 0;
  if (!g.Axes.Transposed) {  // left to right along a destination row
    offset = int64_t(g.Visible.left) - g.Dst.left;
    srcLength = g.SrcW;
    dstLength = g.DstW;
    first = int32_t(g.Src.left + offset * srcLength / dstLength);
    w.Direction = 1;
  } else {  // bottom to top along a destination column: picture rows downward from the bottom
    offset = int64_t(g.Dst.bottom) - g.Visible.bottom;
    srcLength = g.SrcH;
    dstLength = g.DstH;
    first = int32_t(g.Src.bottom - 1 - offset * srcLength / dstLength);
    w.Direction = -1;
  }
  if (g.Axes.ReverseX) {
    first = g.StoredWidth - 1 - first;
    w.Direction = -w.Direction;
  }
  w.First = first;
  w.Step = int32_t(srcLength / dstLength);
  w.Remainder = int32_t(srcLength % dstLength);
  w.Denominator = int32_t(dstLength);
  w.Start = int32_t(offset * srcLength % dstLength);
  w.Count = g.LineLength;
  return w;
}
