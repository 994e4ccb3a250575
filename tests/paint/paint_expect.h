// Comparing a painted canvas with the reference model: every canvas pixel is either the colour
// of the picture pixel the model maps it to, or the background where the model paints nothing.
#pragma once
#include <functional>
#include <sstream>
#include <string>

#include "paint/paint_canvas.h"
#include "paint/paint_model.h"

namespace paint_model {
inline constexpr uint32_t kBackground = 0x0A0B0C;

struct Request {
  const RECT* Src = nullptr;
  const RECT* SrcClip = nullptr;
  RECT Dst{};
  const RECT* DstClip = nullptr;
};

// colour(x, y, px, py, sx, sy): the expected colour of canvas pixel (x, y) showing picture pixel
// (px, py), stored at (sx, sy).
using ColourFn = std::function<uint32_t(int x, int y, int px, int py, int sx, int sy)>;

inline bool Intersect(RECT& out, const RECT& a, const RECT& b) {
  out = RECT{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
             std::min(a.bottom, b.bottom)};
  return out.right > out.left && out.bottom > out.top;
}

// Returns a description of the first mismatches, or "" when the canvas matches.
inline std::string Compare(Canvas& canvas, const BitmapRecord& b, const Request& r, const ColourFn& colour) {
  const RECT bounds{0, 0, b.Width, b.Height};
  const RECT stored = r.Src ? *r.Src : bounds;
  RECT clip = stored;
  bool any = !(r.SrcClip && !Intersect(clip, stored, *r.SrcClip)) && Intersect(clip, clip, bounds);
  RECT dst = r.Dst, dstClip = r.Dst;
  if (dst.bottom < dst.top) std::swap(dst.top, dst.bottom);
  if (r.DstClip) any = any && Intersect(dstClip, r.Dst, *r.DstClip);
  if (dstClip.bottom < dstClip.top) std::swap(dstClip.top, dstClip.bottom);
  const RECT pictureClip = any ? PictureRect(b, clip) : RECT{};
  const Mapping m{dst, PictureRect(b, stored)};
  std::ostringstream out;
  int bad = 0;
  for (int y = 0; y < canvas.Height; ++y) {
    for (int x = 0; x < canvas.Width; ++x) {
      uint32_t want = kBackground;
      const bool inDst = x >= dst.left && x < dst.right && y >= dst.top && y < dst.bottom && x >= dstClip.left &&
                         x < dstClip.right && y >= dstClip.top && y < dstClip.bottom;
      if (any && inDst) {
        const int64_t px = m.Px(x), py = m.Py(y);
        if (px >= pictureClip.left && px < pictureClip.right && py >= pictureClip.top && py < pictureClip.bottom) {
          int sx, sy;
          StoredOf(b.Orientation, PictureW(b), PictureH(b), int(px), int(py), sx, sy);
          want = colour(x, y, int(px), int(py), sx, sy);
        }
      }
      const uint32_t got = canvas.Pixel(x, y);
      if (got != want && bad++ < 4)
        out << " (" << x << "," << y << ") want " << std::hex << want << " got " << got << std::dec;
    }
  }
  if (bad == 0) return "";
  out << " ... " << bad << " pixels differ";
  return out.str();
}

// The ordered-dither colour of a pixel: the threshold comes from the destination position for
// scaled paints, from the picture position for same-size paints. Lines of transposed orientations
// are destination columns walked upward, so their pattern is the transposed one.
inline ColourFn OrderedModel(const BitmapRecord& b, const RECT& dst, bool sameSize) {
  return [&b, dst, sameSize](int x, int y, int px, int py, int sx, int sy) {
    int row, column;
    if (b.Orientation < 5) {
      row = sameSize ? py : y - dst.top;
      column = sameSize ? px : x - dst.left;
    } else {
      row = sameSize ? px : x - dst.left;
      column = sameSize ? PictureH(b) - 1 - py : dst.bottom - 1 - y;
    }
    return Ordered332(b, ShownColour(b, sx, sy), kBayer[row & 7][column & 7]);
  };
}

inline ColourFn Shown(const BitmapRecord& b) {
  return [&b](int, int, int, int, int sx, int sy) { return ShownColour(b, sx, sy); };
}
}  // namespace paint_model
