// Orientation codes as TIFF's Orientation tag. Each code says how stored pixel (x, y) of a
// frame lands in the upright picture: transposed or not (stored rows become columns), then the
// picture's columns and rows mirrored or not. Every service here is built on that one table.
#include "frame/result_codes.h"
#include "qskrn.h"

namespace {
struct Layout {
  bool Transposed;
  bool MirrorColumns;  // picture x runs right to left
  bool MirrorRows;     // picture y runs bottom to top
};

constexpr Layout kLayouts[9] = {
    {false, false, false},                                                      // unused
    {false, false, false}, {false, true, false}, {false, true, true}, {false, false, true},
    {true, false, false},  {true, true, false},  {true, true, true},  {true, false, true},
};

bool ValidCode(int32_t code) { return code >= 1 && code <= 8; }

struct Span {
  int32_t Start, End;  // [Start, End)
};

Span Mirror(Span s, int32_t extent) { return {extent - s.End, extent - s.Start}; }

// A frame's rectangle as spans of the upright picture (pictureW x pictureH), and back.
void FrameToPicture(const Layout& l, int32_t pictureW, int32_t pictureH, Span& x, Span& y) {
  if (l.Transposed) {
    const Span t = x;
    x = y;
    y = t;
  }
  if (l.MirrorColumns) x = Mirror(x, pictureW);
  if (l.MirrorRows) y = Mirror(y, pictureH);
}

void PictureToFrame(const Layout& l, int32_t pictureW, int32_t pictureH, Span& x, Span& y) {
  if (l.MirrorColumns) x = Mirror(x, pictureW);
  if (l.MirrorRows) y = Mirror(y, pictureH);
  if (l.Transposed) {
    const Span t = x;
    x = y;
    y = t;
  }
}

// Maps spans from frame `from` (width x height) to frame `to`.
void MapSpans(int32_t from, int32_t width, int32_t height, int32_t to, Span& x, Span& y) {
  const Layout& source = kLayouts[from];
  const int32_t pictureW = source.Transposed ? height : width;
  const int32_t pictureH = source.Transposed ? width : height;
  FrameToPicture(source, pictureW, pictureH, x, y);
  PictureToFrame(kLayouts[to], pictureW, pictureH, x, y);
}

// Frame size of perspective p for a bitmap stored in orientation o at width x height.
void FrameSize(int32_t o, int32_t width, int32_t height, int32_t p, int32_t& w, int32_t& h) {
  const bool swap = kLayouts[o].Transposed != kLayouts[p].Transposed;
  w = swap ? height : width;
  h = swap ? width : height;
}

int32_t MapRect(int32_t from, int32_t width, int32_t height, int32_t to, RECT* rect) {
  if (!ValidCode(from) || !ValidCode(to) || rect == nullptr) return kResultBadArgument;
  Span x{int32_t(rect->left), int32_t(rect->right)}, y{int32_t(rect->top), int32_t(rect->bottom)};
  MapSpans(from, width, height, to, x, y);
  rect->left = x.Start;
  rect->right = x.End;
  rect->top = y.Start;
  rect->bottom = y.End;
  return kResultOk;
}

int32_t MapPoint(int32_t from, int32_t width, int32_t height, int32_t to, POINT* point) {
  if (!ValidCode(from) || !ValidCode(to) || point == nullptr) return kResultBadArgument;
  Span x{int32_t(point->x), int32_t(point->x) + 1}, y{int32_t(point->y), int32_t(point->y) + 1};
  MapSpans(from, width, height, to, x, y);
  point->x = x.Start;
  point->y = y.Start;
  return kResultOk;
}

// Where pixel (x, y) of a w x h frame lands after rows flipped (optional) and k clockwise turns.
void FlipThenTurn(bool flip, int32_t turns, int32_t w, int32_t h, int32_t& x, int32_t& y) {
  if (flip) y = h - 1 - y;
  for (int32_t k = 0; k < turns; ++k) {
    const int32_t nx = h - 1 - y, ny = x;
    x = nx;
    y = ny;
    const int32_t t = w;
    w = h;
    h = t;
  }
}
}  // namespace

int32_t QSAPI KrnOrientationInfo(int32_t from, int32_t to, int32_t* flip, int32_t* angle) {
  if (!ValidCode(from) || !ValidCode(to) || flip == nullptr || angle == nullptr) return kResultBadArgument;
  // Find the flip and turn that carry every pixel of an asymmetric 2 x 3 frame as the frame
  // change does; the eight candidates are exactly the eight frame changes.
  constexpr int32_t w = 2, h = 3;
  for (int32_t f = 0; f < 2; ++f) {
    for (int32_t turns = 0; turns < 4; ++turns) {
      bool same = true;
      for (int32_t y = 0; y < h && same; ++y) {
        for (int32_t x = 0; x < w && same; ++x) {
          POINT mapped{x, y};
          MapPoint(from, w, h, to, &mapped);
          int32_t tx = x, ty = y;
          FlipThenTurn(f != 0, turns, w, h, tx, ty);
          same = mapped.x == tx && mapped.y == ty;
        }
      }
      if (same) {
        *flip = f;
        *angle = turns * 90;
        return kResultOk;
      }
    }
  }
  return kResultBadArgument;  // not reached: the group is closed
}

int32_t QSAPI KrnMapViewPoint(int32_t from, int32_t width, int32_t height, int32_t to, RECT* rect) {
  return MapRect(from, width, height, to, rect);
}

int32_t QSAPI KrnRectToPerspective(const BitmapRecord* bitmap, int32_t perspective, RECT* rect) {
  if (bitmap == nullptr) return kResultNoBitmap;
  return MapRect(bitmap->Orientation, bitmap->Width, bitmap->Height, perspective, rect);
}

int32_t QSAPI KrnRectFromPerspective(const BitmapRecord* bitmap, int32_t perspective, RECT* rect) {
  if (bitmap == nullptr) return kResultNoBitmap;
  if (!ValidCode(bitmap->Orientation) || !ValidCode(perspective)) return kResultBadArgument;
  int32_t w, h;
  FrameSize(bitmap->Orientation, bitmap->Width, bitmap->Height, perspective, w, h);
  return MapRect(perspective, w, h, bitmap->Orientation, rect);
}

int32_t QSAPI KrnPointToPerspective(const BitmapRecord* bitmap, int32_t perspective, POINT* point) {
  if (bitmap == nullptr) return kResultNoBitmap;
  return MapPoint(bitmap->Orientation, bitmap->Width, bitmap->Height, perspective, point);
}

int32_t QSAPI KrnPointFromPerspective(const BitmapRecord* bitmap, int32_t perspective, POINT* point) {
  if (bitmap == nullptr) return kResultNoBitmap;
  if (!ValidCode(bitmap->Orientation) || !ValidCode(perspective)) return kResultBadArgument;
  int32_t w, h;
  FrameSize(bitmap->Orientation, bitmap->Width, bitmap->Height, perspective, w, h);
  return MapPoint(perspective, w, h, bitmap->Orientation, point);
}
