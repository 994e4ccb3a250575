// The orientation services against the stored image of an upright picture of unique ids, built
// pixel by pixel for each orientation code.
#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "kernel/pixel_model.h"
#include "qskrn.h"

namespace {
struct Image {
  int W = 0, H = 0;
  std::vector<int> Pixels;
  int At(int x, int y) const { return Pixels[size_t(y) * W + x]; }
  bool operator==(const Image& o) const { return W == o.W && H == o.H && Pixels == o.Pixels; }
};

// How the picture dw x dh, pixel (x, y) holding y * dw + x, is stored for `code`.
Image Stored(int code, int dw, int dh) {
  Image s{code >= 5 ? dh : dw, code >= 5 ? dw : dh, std::vector<int>(size_t(dw) * dh)};
  for (int py = 0; py < dh; ++py)
    for (int px = 0; px < dw; ++px) {
      int sx, sy;
      pixel_model::StoredOf(code, dw, dh, px, py, sx, sy);
      s.Pixels[size_t(sy) * s.W + sx] = py * dw + px;
    }
  return s;
}

// Rows reversed (flip) or a quarter turn clockwise.
Image Moved(const Image& in, bool flip) {
  Image out{flip ? in.W : in.H, flip ? in.H : in.W, in.Pixels};
  for (int y = 0; y < out.H; ++y)
    for (int x = 0; x < out.W; ++x)
      out.Pixels[size_t(y) * out.W + x] = flip ? in.At(x, in.H - 1 - y) : in.At(y, in.H - 1 - x);
  return out;
}

std::multiset<int> Contents(const Image& img, const RECT& r) {
  std::multiset<int> values;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x) values.insert(img.At(x, y));
  return values;
}
}  // namespace

TEST(Orientation, InfoTurnsEveryFrameIntoEveryOther) {
  for (int from = 1; from <= 8; ++from) {
    for (int to = 1; to <= 8; ++to) {
      int flip = -1, angle = -1;
      ASSERT_EQ(KrnOrientationInfo(from, to, &flip, &angle), 1);
      Image image = Stored(from, 5, 3);
      if (flip) image = Moved(image, true);
      for (int k = 0; k < angle / 90; ++k) image = Moved(image, false);
      EXPECT_TRUE(image == Stored(to, 5, 3))
          << "from " << from << " to " << to << ": flip " << flip << ", angle " << angle;
    }
  }
  int flip, angle;
  EXPECT_EQ(KrnOrientationInfo(0, 1, &flip, &angle), -13);
  EXPECT_EQ(KrnOrientationInfo(1, 9, &flip, &angle), -13);
}

TEST(Orientation, MappedRectanglesHoldTheSamePixels) {
  for (int from = 1; from <= 8; ++from) {
    const Image source = Stored(from, 7, 4);
    for (int to = 1; to <= 8; ++to) {
      const Image target = Stored(to, 7, 4);
      for (int l = 0; l < source.W; l += 2) {
        for (int t = 0; t < source.H; ++t) {
          const RECT r{l, t, source.W - (l % 3 == 0 ? 0 : 1), t + 1 + (source.H - t - 1) / 2};
          RECT m = r;
          ASSERT_EQ(KrnMapViewPoint(from, source.W, source.H, to, &m), 1);
          ASSERT_TRUE(m.left >= 0 && m.left <= m.right && m.right <= target.W && m.top >= 0 && m.top <= m.bottom &&
                      m.bottom <= target.H);
          EXPECT_EQ(Contents(source, r), Contents(target, m)) << "from " << from << " to " << to;
        }
      }
    }
  }
}

TEST(Orientation, BitmapPerspectiveServicesRoundTrip) {
  BitmapRecord bitmap{};
  bitmap.StructSize = QS_RECORD_SIZE;
  bitmap.Width = 9;
  bitmap.Height = 4;
  for (int o = 1; o <= 8; ++o) {
    bitmap.Orientation = o;
    const Image stored = Stored(o, o >= 5 ? 4 : 9, o >= 5 ? 9 : 4), upright = Stored(1, o >= 5 ? 4 : 9, o >= 5 ? 9 : 4);
    const RECT r{2, 1, 7, 3};
    RECT view = r;
    ASSERT_EQ(KrnRectToPerspective(&bitmap, 1, &view), 1);
    EXPECT_EQ(Contents(stored, r), Contents(upright, view)) << "orientation " << o;
    ASSERT_EQ(KrnRectFromPerspective(&bitmap, 1, &view), 1);
    EXPECT_TRUE(view.left == r.left && view.top == r.top && view.right == r.right && view.bottom == r.bottom) << o;
    POINT p{8, 3};
    ASSERT_EQ(KrnPointToPerspective(&bitmap, 1, &p), 1);
    EXPECT_EQ(upright.At(p.x, p.y), stored.At(8, 3)) << "orientation " << o;
    ASSERT_EQ(KrnPointFromPerspective(&bitmap, 1, &p), 1);
    EXPECT_TRUE(p.x == 8 && p.y == 3) << o;
  }
}
